#!/usr/bin/env bash
# Starts or stops the services the tests need, all private to one folder:
#   a PulseAudio server whose default output is a null sink ("out", recorded
#   through "out.monitor") and whose default input plays a 440 Hz sine ("mic"),
#   and an Xvfb display.
# The sine reaches "mic" through a null sink rendered in real time: the sine
# source module hands out 2 s blocks at once, nothing like a microphone. The
# loopback into "hole" keeps that sink at low latency between recordings.
# A second loopback does the same for "out": idle, a null sink renders in 2 s
# blocks, and a stream that starts then waits up to 2 s for its first sample,
# where a sound card starts at once.
# ALSA clients (PortAudio) get a configuration whose only device is the
# server: probing the system's plugins loads the a52 one, which leaks when
# unloaded.
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
    rm -f "$dir/xvfb.pid" "$dir/env" "$dir/asound.conf"
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
        --load="module-null-sink sink_name=micsink" \
        --load="module-sine sink=micsink frequency=440" \
        --load="module-remap-source source_name=mic master=micsink.monitor" \
        --load="module-null-sink sink_name=hole" \
        --load="module-loopback source=micsink.monitor sink=hole latency_msec=20" \
        --load="module-loopback source=out.monitor sink=hole latency_msec=20" \
        --load=module-always-sink 2>"$dir/pulseaudio.log" || { cat "$dir/pulseaudio.log"; return 1; }
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink out && pactl set-default-source mic || return 1
    # Restarting a sink ends the 2 s block it began before its loopback asked
    # for low latency: the sine's, and the output's, where the first stream
    # would otherwise wait for the end of that block.
    for sink in micsink out; do
        pactl suspend-sink $sink 1 && pactl suspend-sink $sink 0 || return 1
    done

    exec 3>"$dir/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    exec 3>&-
    for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
    [ -s "$dir/display" ] || { cat "$dir/xvfb.log"; return 1; }

    cat >"$dir/asound.conf" <<'ALSA'
pcm.!default { type pulse }
ctl.!default { type pulse }
ALSA

    cat >"$dir/env" <<ENV
XDG_RUNTIME_DIR=$runtime
PULSE_SERVER=unix:$runtime/pulse/native
DISPLAY=:$(head -n1 "$dir/display")
ALSA_CONFIG_PATH=$dir/asound.conf
ENV
}

case "$action" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
