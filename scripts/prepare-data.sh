#!/usr/bin/env bash
# Prepares a data folder for a learner: the recording and workspace folders
# and the sample content that the build generated (the sample_content target,
# samples/make-samples.sh). Never overwrites what is already there.
#   prepare-data.sh DIR [SAMPLES]
set -euo pipefail
data=${1:?data folder}
samples=${2:-}
mkdir -p "$data/files" "$data/workspace"
if [ -n "$samples" ]; then
    if [ -f "$samples/basiclist.xml" ]; then
        cp -rn "$samples/." "$data/"
    else
        echo "prepare-data.sh: no sample content in $samples; the data folder gets none" >&2
    fi
fi
