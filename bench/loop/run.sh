#!/usr/bin/env bash
# The sentence loop against mpv's A-B loop on 20 s of white noise with 2 s
# sentences, in every container the engine plays; every 10 ms of it occurs
# once, so where each part of a recording comes from can be found to the
# sample. Then the record button through the controller, on the MP3.
#   bench/loop/run.sh [BUILD_DIR] [ROUNDS]
# Builds the benchmarks without sanitizers into BUILD_DIR (default
# /tmp/build-bench-loop) and runs them against a private sound server.
set -euo pipefail
rounds=${2:-10}
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" loop_bench "${1:-/tmp/build-bench-loop}"

ff -f lavfi -i "anoisesrc=color=white:amplitude=0.5:seed=7:sample_rate=44100:duration=20" -ac 2 \
    -fflags +bitexact -c:a pcm_s16le "$work/noise.wav"
picture=(-f lavfi -i "color=c=blue:s=160x120:r=10:d=20")
x264=(-c:v libx264 -preset ultrafast)
vp8=(-c:v libvpx -deadline realtime -cpu-used 8)
noise() { local out=$1; shift; ff "$@" "$work/$out"; }
noise noise.mp3 -i "$work/noise.wav" -c:a libmp3lame -b:a 192k
noise noise.flv "${picture[@]}" -i "$work/noise.wav" -c:v flv1 -c:a libmp3lame -b:a 192k
noise noise.wmv "${picture[@]}" -i "$work/noise.wav" -c:v wmv2 -c:a wmav2 -b:a 192k
noise noise.rm "${picture[@]}" -i "$work/noise.wav" -c:v rv20 -c:a ac3 -b:a 192k
noise noise.mp4 "${picture[@]}" -i "$work/noise.wav" "${x264[@]}" -c:a aac -b:a 192k
noise noise.m4a -i "$work/noise.wav" -c:a aac -b:a 192k
noise noise.mkv "${picture[@]}" -i "$work/noise.wav" "${x264[@]}" -c:a libopus -b:a 192k
noise noise.webm "${picture[@]}" -i "$work/noise.wav" "${vp8[@]}" -c:a libopus -b:a 192k
noise noise-vorbis.webm "${picture[@]}" -i "$work/noise.wav" "${vp8[@]}" -c:a libvorbis -q:a 6
noise noise.ogg -i "$work/noise.wav" -c:a libvorbis -q:a 6
noise noise.opus -i "$work/noise.wav" -c:a libopus -b:a 192k
noise noise.flac -i "$work/noise.wav" -c:a flac
noise noise.mov "${picture[@]}" -i "$work/noise.wav" "${x264[@]}" -c:a aac -b:a 192k
noise noise.avi "${picture[@]}" -i "$work/noise.wav" -c:v mpeg4 -c:a libmp3lame -b:a 192k
noise noise-pcm.avi "${picture[@]}" -i "$work/noise.wav" -c:v mpeg4 -c:a pcm_s16le
for i in $(seq 0 9); do printf '[00:%02d.00]Sentence %d\n' $((2 * i)) $((i + 1)); done >"$work/noise.lrc"

start_services
# Opus plays at 48 kHz: a sink of that rate records it without resampling.
pactl load-module module-null-sink sink_name=out48 rate=48000 >/dev/null
export QT_QPA_PLATFORM=offscreen
# PortAudio looks for a JACK server first; its complaints are noise here.
quiet() { "$@" 2> >(grep -v -i -e jack -e "server socket" -e "request channel" >&2); }
files=(noise.mp3 noise.flv noise.wmv noise.rm noise.mp4 noise.m4a noise.mkv noise.webm noise-vorbis.webm
    noise.ogg noise.opus noise.wav noise.flac noise.mov noise.avi noise-pcm.avi)
quiet "$build/bench/loop/loop_bench" 8 10 "$rounds" "${files[@]/#/$work/}"
if cmake --build "$build" --target record_button_bench -j2 >/dev/null; then
    quiet "$build/bench/loop/record_button_bench" "$work/noise.mp3" 8
else
    echo "record button: record_button_bench does not build" >&2
fi
