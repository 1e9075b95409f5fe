#!/usr/bin/env bash
# Makes model sentences and takes for the comparison: each sentence read by
# espeak-ng voices of varied speed and pitch, naturally and with its melody
# flattened (SSML prosody range x-low), voices 2 and 3 over a pink-noise bed
# 20 dB below the speech; every reading padded with silence, so that the
# comparison must find where speech begins. Fixed parameters: the same bytes
# every run.
#   make_takes.sh OUTDIR SENTENCES VOICES [--extras]
# Writes OUTDIR/s<S>_v<V>.wav and s<S>_v<V>_flat.wav (S from 0, V from 0;
# voice 0 is the model's). With --extras also the takes of the special cases:
# slow.wav (s0_v1 at 0.8 tempo), model8k.wav and take8k.wav (s0 by voices 0
# and 1, 8 kHz mono), hiss.wav (noise and silence, no voiced sound),
# silence.wav, long.wav (s0_v1 five times over) and text.wav (not audio).
set -euo pipefail
out=${1:?output folder}
count=${2:?number of sentences}
voices=${3:?number of voices}
extras=${4:-}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sox() { command sox -R "$@"; }
noise_below_db=20
lead_seconds=0.4
tail_seconds=0.5
# voice, words per minute, pitch (0-99)
voice_table=("en-us 150 50" "en-gb+f3 170 70" "en-us+m3 130 35" "en-gb-x-rp+f2 160 60")

sentences=(
    "Could you tell me the way to the station, please?"
    "She sells fresh fish at the market on Saturdays."
    "I usually get up at seven, but today I overslept."
    "Have you ever been to London?"
    "The weather was lovely, so we walked along the river."
    "Thank you very much for your help."
    "What time does the museum open on Sundays?"
    "If it rains tomorrow, the picnic will be cancelled."
    "My brother works in a hospital, and he often comes home late."
    "Honestly, I have no idea where he put the keys."
    "Shall we meet at the cafe near the library?"
    "Good morning, everyone, and welcome to the first lesson."
    "He said that the train was late again."
    "Five apples, two oranges, and a bag of sugar, please."
    "Where did you buy that beautiful blue jacket?"
    "We are going to visit our grandparents next weekend."
    "Please turn off your phones before the film begins."
    "Is there a bank anywhere near here?"
    "I would rather stay at home and read a good book."
    "The children were playing happily in the garden."
    "Can you help me carry these boxes upstairs?"
    "Our teacher always gives us too much homework."
    "Excuse me, is this seat taken?"
    "Last summer we spent two weeks by the sea."
    "Don't forget to lock the door when you leave."
    "How long have you been learning English?"
    "The restaurant on the corner serves excellent pasta."
    "Why don't we take a taxi instead of walking?"
    "My grandmother makes the best apple pie in the world."
    "I'm afraid the manager is not available right now."
    "Would you like some more tea?"
    "The concert was cancelled because of the storm."
    "Turn left at the traffic lights and go straight on."
    "Everybody was surprised when she won the race."
    "I have lived in this city for almost ten years."
    "Do you know what time the next bus leaves?"
    "It was the coldest winter anyone could remember."
    "They are building a new school next to the park."
    "Could I have the bill, please?"
    "After dinner, we usually watch the news together."
    "Nobody told me that the meeting had been moved."
    "What a wonderful surprise to see you here!"
)

# $1 text, $2 voice index, $3 output, $4 SSML range or empty.
speak() {
    read -r voice speed pitch <<<"${voice_table[$2]}"
    local text=$1
    if [ -n "$4" ]; then
        espeak-ng -m -v "$voice" -s "$speed" -p "$pitch" -w "$work/raw.wav" \
            "<speak><prosody range=\"$4\">$text</prosody></speak>"
    else
        espeak-ng -v "$voice" -s "$speed" -p "$pitch" -w "$work/raw.wav" "$text"
    fi
    sox "$work/raw.wav" "$work/padded.wav" pad $lead_seconds $tail_seconds
    if [ "$2" -ge 2 ]; then
        local length speech_rms noise_rms
        length=$(soxi -D "$work/padded.wav")
        sox "$work/raw.wav" -n stat 2>"$work/speech.stat"
        sox -n -r 22050 -c 1 "$work/noise.wav" synth "$length" pinknoise
        sox "$work/noise.wav" -n stat 2>"$work/noise.stat"
        speech_rms=$(awk '/RMS +amplitude/ { print $3 }' "$work/speech.stat")
        noise_rms=$(awk '/RMS +amplitude/ { print $3 }' "$work/noise.stat")
        sox -m "$work/padded.wav" -v "$(awk "BEGIN { print $speech_rms / $noise_rms / 10 ^ ($noise_below_db / 20) }")" \
            "$work/noise.wav" "$3"
    else
        mv "$work/padded.wav" "$3"
    fi
}

for ((s = 0; s < count; ++s)); do
    for ((v = 0; v < voices; ++v)); do
        speak "${sentences[$s]}" $v "$out/s${s}_v${v}.wav" ""
        speak "${sentences[$s]}" $v "$out/s${s}_v${v}_flat.wav" x-low
    done
done

if [ "$extras" = --extras ]; then
    sox "$out/s0_v1.wav" "$out/slow.wav" tempo 0.8
    sox "$out/s0_v0.wav" -r 8000 -c 1 "$out/model8k.wav"
    sox "$out/s0_v1.wav" -r 8000 -c 1 "$out/take8k.wav"
    sox -n -r 22050 -c 1 "$work/hiss.wav" synth 1.5 whitenoise vol 0.3
    sox "$work/hiss.wav" "$out/hiss.wav" pad 1 1
    sox -n -r 22050 -c 1 "$out/silence.wav" trim 0 2
    sox "$out/s0_v1.wav" "$out/long.wav" repeat 4
    printf 'This is a text file, not a recording.\n' >"$out/text.wav"
fi
