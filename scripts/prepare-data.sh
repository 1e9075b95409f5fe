#!/usr/bin/env bash
# Prepares a data folder for a learner: the recording and workspace folders
# and the sample content. Never overwrites what is already there.
#   prepare-data.sh DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=${1:?data folder}
mkdir -p "$data/files" "$data/workspace"
if [ -d "$root/samples" ]; then
    cp -rn "$root/samples/." "$data/"
fi
