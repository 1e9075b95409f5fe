#!/usr/bin/env bash
# Playback at another speed against mpv's --speed, side by side on the same
# generated files: CPU per second of playback at 0.75x (and at 1x for scale),
# and how long each round of a looped sentence lasts at 0.5x, 0.75x and
# 1.25x, recorded from the sink.
#   bench/speed/run.sh [BUILD_DIR] [SECONDS]
# Builds speed_bench without sanitizers into BUILD_DIR (default
# /tmp/build-bench-speed), makes a speech MP3 of SECONDS (default 60) and a
# sentence of two pure tones, and runs everything against a private sound
# server.
set -euo pipefail
seconds=${2:-60}
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" speed_bench "${1:-/tmp/build-bench-speed}"

cd "$work"
make_speech "$seconds"
# The looped sentence: 400 Hz, then 600 Hz from 1 s; a round is the change
# back from 600 to 400 Hz to the next.
ff -f lavfi -i "aevalsrc=0.5*sin(2*PI*if(lt(t\,1)\,400\,600)*t):c=stereo:s=44100:d=2" -fflags +bitexact \
    -c:a pcm_s16le tones.wav

start_services
export QT_QPA_PLATFORM=offscreen
"$build/bench/speed/speed_bench" all "$work/speech.mp3" "$work/tones.wav"
