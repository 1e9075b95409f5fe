#!/usr/bin/env bash
# Makes a long spoken-English MP3 for the waveform benchmark: about a minute of
# espeak-ng speech, looped to the length asked for, encoded like the practice
# materials (128 kbit/s, 44.1 kHz stereo). Fixed parameters: same bytes every run.
#   make_speech.sh OUT.mp3 MINUTES
set -euo pipefail
out=${1:?output file}
minutes=${2:?length in minutes}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

text="Good morning. How are you today? I would like a cup of tea, please. \
The weather is lovely this afternoon, so we are going for a walk along the river. \
Could you tell me the way to the railway station? It is about ten minutes from here. \
My brother works in a hospital in the centre of the city, and he often comes home late. \
We should practise speaking English every day, even if only for a quarter of an hour. \
Reading aloud helps you to remember new words and to speak more clearly. \
Last summer we visited the mountains in the north, where the air is fresh and cool. \
Please repeat each sentence after the speaker, and then compare your recording with the original."
espeak-ng -v en-us -s 150 -w "$work/speech.wav" "$text"
sox -R "$work/speech.wav" -r 44100 -c 2 "$work/stereo.wav" pad 0 0.5
ffmpeg -nostdin -hide_banner -loglevel error -y -stream_loop -1 -i "$work/stereo.wav" -t $((minutes * 60)) \
    -fflags +bitexact -flags:a +bitexact -map_metadata -1 -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 "$work/out.mp3"
mv "$work/out.mp3" "$out"
