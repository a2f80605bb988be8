#!/usr/bin/env bash
# prefix.sh start|stop DIR: a private Wine prefix (and an X display for
# programs that make windows) for one test run. Never touches ~/.wine.
set -u
cmd=$1
dir=$2
loader=${3:-wine}
export WINEPREFIX=$dir/prefix WINEDEBUG=-all
case $cmd in
start)
    "$0" stop "$dir" >/dev/null 2>&1
    rm -rf "$dir"
    mkdir -p "$dir"
    # A free display number, then Xvfb on it.
    n=90
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    echo ":$n" >"$dir/display"
    # No Mono or Gecko install prompts.
    WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=:$n "$loader" wineboot -i >"$dir/wineboot.log" 2>&1 || {
        cat "$dir/wineboot.log"
        exit 1
    }
    wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    echo "prefix $WINEPREFIX, display :$n"
    ;;
stop)
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || /usr/lib/wine/wineserver -k 2>/dev/null
    fi
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
        rm -f "$dir/xvfb.pid"
    fi
    exit 0
    ;;
esac
