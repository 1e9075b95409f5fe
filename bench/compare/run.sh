#!/usr/bin/env bash
# Scores the comparison on a generated corpus (42 sentences, 4 espeak-ng
# voices of varied speed and pitch, two of them over a noise bed 20 dB down)
# and times it on takes of 2, 5 and 15 s.
#   bench/compare/run.sh [BUILD_DIR]
# Builds bench_compare without sanitizers into BUILD_DIR (default
# /work/main/build/h5-bench); the media are made once, into BUILD_DIR/compare-media.
set -euo pipefail
sentences=42
voices=4
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh" bench_compare "${1:-/work/main/build/h5-bench}"

media=$build/compare-media
if [ ! -f "$media/.complete" ]; then
    "$repo/tests/analysis/make_takes.sh" "$media/corpus" $sentences $voices
    mkdir -p "$media/timing"
    text="The weather was lovely, so we walked along the river. Could you tell me the way to the station, please? \
My brother works in a hospital, and he often comes home late. Have you ever been to London? \
If it rains tomorrow, the picnic will be cancelled. Thank you very much for your help."
    espeak-ng -v en-us -s 150 -w "$work/model.wav" "$text"
    espeak-ng -v en-gb+f3 -s 170 -p 70 -w "$work/take.wav" "$text"
    for seconds in 2 5 15; do
        sox "$work/model.wav" "$media/timing/model_$seconds.wav" trim 0 $seconds
        sox "$work/take.wav" "$media/timing/take_$seconds.wav" trim 0 $seconds
    done
    touch "$media/.complete"
fi
"$build/bench/compare/bench_compare" "$media/corpus" $sentences $voices "$media/timing"
