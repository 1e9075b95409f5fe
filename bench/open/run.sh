#!/usr/bin/env bash
# Opening materials with many sentences in the real main window.
#   bench/open/run.sh [BUILD_DIR]
# Builds bench_open without sanitizers into BUILD_DIR (default
# /tmp/build-bench-open) and runs it on a private display.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" bench_open "${1:-/tmp/build-bench-open}"

mkdir -p "$work/data/workspace" "$work/data/files"
for list in basiclist advancedlist expertlist; do
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<sayloom version="1.0"/>\n' >"$work/data/$list.xml"
done
# One silent hour; sentences of any number spread over it.
ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "anullsrc=r=22050:cl=mono" -t 3600 \
    -c:a libmp3lame -b:a 32k "$work/data/workspace/hour.mp3"
for count in 1000 10000 100000; do
    cp "$work/data/workspace/hour.mp3" "$work/data/workspace/s$count.mp3"
    awk -v n="$count" 'BEGIN {
        for (i = 0; i < n; i++) {
            t = i * 3590.0 / n
            printf "[%02d:%05.2f]Sentence number %d of the material, spoken clearly.|第 %d 句的译文\n", int(t / 60), t - 60 * int(t / 60), i + 1, i + 1
        }
    }' >"$work/data/workspace/s$count.lrc"
done

start_services
cd "$work/data"
QT_QPA_PLATFORM=xcb "$build/bench/open/bench_open" ./workspace/s1000.mp3 ./workspace/s10000.mp3 ./workspace/s100000.mp3
