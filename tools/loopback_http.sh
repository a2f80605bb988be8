#!/usr/bin/env bash
# loopback_http.sh start|stop DIR: the loopback HTTP server of the redirect
# tests and the benchmark, in the background; DIR/port holds its ports.
set -u
cmd=$1
dir=$2
here=$(cd "$(dirname "$0")" && pwd)
case $cmd in
start)
    "$0" stop "$dir"
    mkdir -p "$dir"
    rm -f "$dir/port"
    python3 "$here/loopback_http.py" --port-file "$dir/port" >"$dir/log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        [ -s "$dir/port" ] && { echo "listening on 127.0.0.1, ports $(cat "$dir/port")"; exit 0; }
        sleep 0.1
    done
    cat "$dir/log"
    exit 1
    ;;
stop)
    if [ -f "$dir/pid" ]; then
        kill "$(cat "$dir/pid")" 2>/dev/null
        rm -f "$dir/pid"
    fi
    exit 0
    ;;
esac
