#!/usr/bin/env bash
# Installs what is missing, builds a release build, prepares the learner's data
# folder (the program keeps its state in its working directory) and starts the
# program there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build-release.sh"
build="$root/build/release"
data="${XDG_DATA_HOME:-$HOME/.local/share}/repeta"
"$root/scripts/prepare-data.sh" "$data" "$build/samples/content"
cd "$data"
exec "$build/app/repeta"
