#!/usr/bin/env bash
# Starts or stops the services the tests need, all private to one folder:
#   a PulseAudio server whose default output is a null sink ("out", recorded
#   through "out.monitor") and whose default input plays a 440 Hz sine ("mic"),
#   and an Xvfb display.
# The folder gets "env", a file of KEY=VALUE lines that the tests load.
#   services.sh start DIR | stop DIR
set -u
action=${1:?start or stop}
dir=${2:?folder}
runtime="$dir/runtime"

stop() {
    [ -f "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
    if [ -f "$runtime/pulse/pid" ]; then
        XDG_RUNTIME_DIR="$runtime" pulseaudio --kill 2>/dev/null || kill "$(cat "$runtime/pulse/pid")" 2>/dev/null
    fi
    rm -f "$dir/xvfb.pid" "$dir/env"
    return 0
}

start() {
    stop
    mkdir -p "$runtime" && chmod 700 "$runtime"
    export XDG_RUNTIME_DIR="$runtime"
    export HOME="$dir/home" && mkdir -p "$HOME"
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes \
        --load="module-native-protocol-unix auth-anonymous=1" \
        --load="module-null-sink sink_name=out" \
        --load="module-sine-source source_name=mic frequency=440" \
        --load=module-always-sink 2>"$dir/pulseaudio.log" || { cat "$dir/pulseaudio.log"; return 1; }
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink out && pactl set-default-source mic || return 1

    exec 3>"$dir/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    exec 3>&-
    for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
    [ -s "$dir/display" ] || { cat "$dir/xvfb.log"; return 1; }

    cat >"$dir/env" <<ENV
XDG_RUNTIME_DIR=$runtime
PULSE_SERVER=unix:$runtime/pulse/native
DISPLAY=:$(head -n1 "$dir/display")
ENV
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
