#!/usr/bin/env bash
# The sentence loop against mpv's A-B loop on 20 s of white noise in a
# 192 kbps MP3 with 2 s sentences; every 10 ms of it occurs once, so where
# each part of a recording comes from can be found to the sample.
#   bench/loop/run.sh [BUILD_DIR] [ROUNDS]
# Builds loop_bench without sanitizers into BUILD_DIR (default
# /tmp/build-bench-loop) and runs it against a private sound server.
set -euo pipefail
rounds=${2:-10}
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" loop_bench "${1:-/tmp/build-bench-loop}"

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi \
    -i "anoisesrc=color=white:amplitude=0.5:seed=7:sample_rate=44100:duration=20" -ac 2 \
    -fflags +bitexact -c:a libmp3lame -b:a 192k "$work/noise.mp3"
for i in $(seq 0 9); do printf '[00:%02d.00]Sentence %d\n' $((2 * i)) $((i + 1)); done >"$work/noise.lrc"

start_services
export QT_QPA_PLATFORM=offscreen
# PortAudio looks for a JACK server first; its complaints are noise here.
"$build/bench/loop/loop_bench" "$work/noise.mp3" 8 10 "$rounds" 2> >(grep -v -i -e jack -e "server socket" -e "request channel" >&2)
