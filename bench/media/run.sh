#!/usr/bin/env bash
# The media engine against mpv, side by side on the same generated files:
# CPU per second of playback, start and seek latency, peak memory.
#   bench/media/run.sh [BUILD_DIR] [SECONDS]
# Builds media_bench without sanitizers into BUILD_DIR (default
# /tmp/build-bench-media), makes a speech MP3 and a 25 fps FLV of SECONDS
# (default 180), a tone-step file and a 30 s 720p H.264 MP4 at 30 fps, and
# runs everything against a private sound server and X display.
set -euo pipefail
seconds=${2:-180}
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" media_bench "${1:-/tmp/build-bench-media}"

cd "$work"
make_speech "$seconds"
ff -f lavfi -i "testsrc=size=320x240:rate=25" -i speech.wav -t "$seconds" -fflags +bitexact \
    -c:v flv1 -c:a libmp3lame -ar 44100 -b:a 128k movie.flv
# A lesson as learners have them: 720p H.264 at 30 fps with AAC, 30 s.
hd_seconds=$(( seconds < 30 ? seconds : 30 ))
ff -f lavfi -i "testsrc2=size=1280x720:rate=30" -i speech.wav -t "$hd_seconds" -fflags +bitexact \
    -c:v libx264 -preset medium -pix_fmt yuv420p -c:a aac -b:a 128k movie720.mp4
# Ten seconds, second k a tone of 300 + 100 k Hz: a seek can be heard.
inputs=(); for k in $(seq 0 9); do inputs+=(-f lavfi -i "sine=frequency=$((300 + 100 * k)):sample_rate=44100:duration=1"); done
ff "${inputs[@]}" -filter_complex "concat=n=10:v=0:a=1" -fflags +bitexact -c:a libmp3lame -b:a 128k -ac 2 steps.mp3

start_services
"$build/bench/media/media_bench" all "$work/speech.mp3" "$work/movie.flv" "$work/steps.mp3" "$work/movie720.mp4"
