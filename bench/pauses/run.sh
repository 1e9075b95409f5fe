#!/usr/bin/env bash
# Finds the sentences of a 60-minute MP3 (the benchmark corpus repeated,
# 128 kbit/s) and times it beside ffmpeg's single-thread decode of the same
# file; scores the found starts on the corpus itself.
#   bench/pauses/run.sh [BUILD_DIR] [RUNS]
# Builds bench_pauses without sanitizers into BUILD_DIR (default
# /tmp/build-bench-pauses); the media are made once, into BUILD_DIR/pauses-media.
set -euo pipefail
sentences=200
minutes=60
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" bench_pauses "${1:-/tmp/build-bench-pauses}"

media=$build/pauses-media
if [ ! -f "$media/long.mp3" ]; then
    "$repo/tests/speech/make_speech.sh" "$media" $sentences
    ffmpeg -nostdin -hide_banner -loglevel error -y -stream_loop -1 -i "$media/corpus.mp3" -t $((minutes * 60)) \
        -fflags +bitexact -flags:a +bitexact -map_metadata -1 -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 \
        "$media/long.tmp.mp3"
    mv "$media/long.tmp.mp3" "$media/long.mp3"
fi
"$build/bench/pauses/bench_pauses" "$media/corpus.mp3" "$media/corpus.onsets" "$media/long.mp3" "${2:-3}"
