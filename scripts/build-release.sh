#!/usr/bin/env bash
# Installs what is missing and makes the release build in build/release, the
# one the program is run and packaged from.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREPETA_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
