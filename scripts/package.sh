#!/usr/bin/env bash
# Installs what is missing, makes the release build and its Debian package;
# prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build-release.sh"
build="$root/build/release"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/repeta_*.deb
