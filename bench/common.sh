# Sourced by the benchmarks' run scripts: builds TARGET without sanitizers
# into BUILD, makes the scratch folder $work (removed on exit), and gives
# start_services, which starts the tests' private sound server and display
# and exports their environment, ff, ffmpeg without its chatter, and
# make_speech SECONDS, which makes speech.wav and speech.mp3 in the current
# folder: a passage read by espeak-ng, repeated to the length wanted.
#   . bench/common.sh TARGET BUILD
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$2
work=$(mktemp -d)
trap '"$repo/tests/services.sh" stop "$work/services"; rm -rf "$work"' EXIT

cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target "$1" -j2 >/dev/null

start_services() {
    "$repo/tests/services.sh" start "$work/services" >/dev/null
    set -a
    . "$work/services/env"
    set +a
}

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

make_speech() {
    espeak-ng -v en-us -s 150 -w passage.wav "Good morning. How are you today? I would like a cup of tea, please. \
The weather is lovely this afternoon, and the children are playing in the park near the river."
    sox -R passage.wav -r 44100 -c 2 passage2.wav pad 0 0.5
    sox -R passage2.wav long.wav repeat $(( $1 / 8 + 1 ))
    sox -R long.wav speech.wav trim 0 "$1"
    ff -i speech.wav -fflags +bitexact -c:a libmp3lame -b:a 128k speech.mp3
}
