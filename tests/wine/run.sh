#!/usr/bin/env bash
# run.sh DIR LOADER PROGRAM [ARGS...]: runs a Windows test program with the
# given Wine loader in the test run's prefix (made by prefix.sh start DIR)
# and returns its exit code.
set -u
dir=$1
loader=$2
shift 2
export WINEPREFIX=$dir/prefix WINEDEBUG=${WINEDEBUG:--all}
export DISPLAY=$(cat "$dir/display" 2>/dev/null || echo :0)
export FW_WINE=$loader
exec "$loader" "$@"
