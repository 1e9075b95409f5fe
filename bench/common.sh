# Sourced by the benchmarks' run scripts: builds TARGET without sanitizers
# into BUILD, makes the scratch folder $work (removed on exit), and gives
# start_services, which starts the tests' private sound server and display
# and exports their environment.
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
