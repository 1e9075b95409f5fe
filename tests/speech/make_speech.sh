#!/usr/bin/env bash
# Makes a spoken-English corpus whose sentence starts are known: two espeak-ng
# voices taking turns (en-us, and en-gb+f3 6 dB quieter), sentences with
# espeak's own short comma pauses inside, 0.35-1.2 s pauses between them, and
# a pink-noise bed 25 dB below the louder voice. Fixed parameters and a fixed
# pseudo-random sequence: the same bytes every run.
#   make_speech.sh OUTDIR SENTENCES [--takes]
# Writes OUTDIR/corpus.mp3 (128 kbit/s, 44.1 kHz stereo, like the practice
# materials) and OUTDIR/corpus.onsets (one sentence start a line, seconds from
# the first sample: where each clean clip first rises above 0.1 % of full
# scale). With --takes also the recordings that the take checks look at:
# take_silent, take_noise, take_spoken, take_quiet (.mp3), silent.mp3,
# noise.mp3, video_only.mp4 and truncated.mp3.
set -euo pipefail
out=${1:?output folder}
count=${2:?number of sentences}
takes=${3:-}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rate=22050                  # espeak-ng's own rate; the corpus is assembled at it
lead_in_samples=$((rate))   # noise alone before the first and after the last sentence
quiet_gain_db=-6
noise_below_db=25
onset_threshold=0.1%        # "the first sample above a tiny threshold"

# Repeatable mode: sox seeds its noise and its dither alike on every run.
sox() { command sox -R "$@"; }
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
exact=(-fflags +bitexact -flags:a +bitexact -flags:v +bitexact -map_metadata -1)
mp3=(-c:a libmp3lame -b:a 128k -ar 44100 -ac 2)

sentences=(
    "Good morning, everyone, and welcome to the first lesson."
    "Could you tell me the way to the station, please?"
    "I usually get up at seven, but today I overslept."
    "She sells fresh fish at the market on Saturdays."
    "Honestly, I have no idea where he put the keys."
    "The weather was lovely, so we walked along the river."
    "Have you ever been to London?"
    "My brother works in a hospital, and he often comes home late."
    "Yes, of course."
    "First, read the text aloud, then listen to the speaker."
    "Shall we meet at the cafe near the library?"
    "He said that the train was late again, which annoyed everyone."
    "Thank you very much for your help."
    "If it rains tomorrow, the picnic will be cancelled."
    "Five apples, two oranges, and a bag of sugar, please."
    "What time does the museum open on Sundays?"
    "Reading aloud helps you remember new words."
    "Sorry, I did not catch your name."
    "Last summer, we visited the mountains in the north."
    "The children were playing football in the park."
    "Excuse me, is this seat taken?"
    "Practice makes perfect, as my teacher always says."
    "We should leave now, or we will miss the bus."
    "Fortunately, nobody was hurt in the accident."
    "How much does this jacket cost?"
    "After dinner, we usually watch the news."
    "Speaking slowly and clearly is more important than speaking fast."
    "Please repeat each sentence after the speaker."
    "It is about ten minutes from here, on foot."
    "See you next week, and good luck with your exams."
)

# A fixed linear congruential sequence: pauses and turns repeat exactly.
seed=20240611
next_random() { seed=$(((seed * 1103515245 + 12345) % 2147483648)); random=$((seed / 65536)); }

# The two speakers: a, the louder en-us voice; b, en-gb+f3, made quieter in make_clip.
voice_args() {
    if [ "$1" = a ]; then echo "-v en-us -s 165 -p 45"; else echo "-v en-gb+f3 -s 175 -p 60"; fi
}

# One clean sentence clip, trimmed to the samples above the onset threshold at
# both ends, so that its first sample is the sentence start.
make_clip() { # index voice text
    # shellcheck disable=SC2046
    espeak-ng $(voice_args "$2") -w "$work/raw.wav" "$3"
    local gain=0
    [ "$2" = b ] && gain=$quiet_gain_db
    sox "$work/raw.wav" -r $rate -c 1 "$work/clip$1.wav" \
        silence 1 1s $onset_threshold reverse silence 1 1s $onset_threshold reverse gain $gain
}

parts=()
onsets=()
loud_clips=()
position=$lead_in_samples
voice=a
turn_left=2
sox -r $rate -c 1 -b 16 -n "$work/lead.wav" trim 0 ${lead_in_samples}s
parts+=("$work/lead.wav")
for ((i = 0; i < count; i++)); do
    text=${sentences[$((i % ${#sentences[@]}))]}
    make_clip "$i" "$voice" "$text"
    [ "$voice" = a ] && loud_clips+=("$work/clip$i.wav")
    onsets+=("$(awk -v p=$position -v r=$rate 'BEGIN { printf "%.6f", p / r }')")
    parts+=("$work/clip$i.wav")
    position=$((position + $(soxi -s "$work/clip$i.wav")))
    if ((i + 1 < count)); then
        next_random
        pause=$((rate * (350 + random % 851) / 1000))
        sox -r $rate -c 1 -b 16 -n "$work/pause$i.wav" trim 0 ${pause}s
        parts+=("$work/pause$i.wav")
        position=$((position + pause))
    fi
    turn_left=$((turn_left - 1))
    if ((turn_left == 0)); then
        [ "$voice" = a ] && voice=b || voice=a
        next_random
        turn_left=$((1 + random % 3))
    fi
done
parts+=("$work/lead.wav")
sox "${parts[@]}" "$work/speech.wav"
printf '%s\n' "${onsets[@]}" >"$work/corpus.onsets"

# The noise bed's level follows the louder voice's speech level (its clips
# only, without pauses).
rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
sox "${loud_clips[@]}" "$work/loud.wav"
speech_rms=$(rms "$work/loud.wav")
length=$(soxi -s "$work/speech.wav")
sox -r $rate -c 1 -b 16 -n "$work/unit_noise.wav" synth ${length}s pinknoise vol 0.5
noise_gain=$(awk -v s="$speech_rms" -v n="$(rms "$work/unit_noise.wav")" -v db=$noise_below_db \
    'BEGIN { printf "%.6f", s / n * 10 ^ (-db / 20) }')
sox "$work/unit_noise.wav" "$work/noise.wav" vol "$noise_gain"
sox -m -v 1 "$work/speech.wav" -v 1 "$work/noise.wav" "$work/corpus.wav"
ff -i "$work/corpus.wav" "${exact[@]}" "${mp3[@]}" "$work/corpus.mp3"
mv "$work/corpus.onsets" "$work/corpus.mp3" "$out/"

if [ "$takes" = --takes ]; then
    # Takes as the recorder leaves them: half a second of room noise, then
    # the learner, then room noise again.
    take_seconds=3
    sox "$work/noise.wav" "$work/room.wav" trim 0 ${take_seconds}
    sox -r $rate -c 1 -b 16 -n "$work/half.wav" trim 0 0.5
    for v in a b; do
        make_clip "$v" "$v" "${sentences[1]}"
        sox "$work/half.wav" "$work/clip$v.wav" "$work/said$v.wav" pad 0 0.5
        sox -m -v 1 "$work/said$v.wav" -v 1 "$work/noise.wav" "$work/take$v.wav" \
            trim 0 "$(soxi -D "$work/said$v.wav")"
    done
    ff -i "$work/takea.wav" "${exact[@]}" "${mp3[@]}" "$out/take_spoken.mp3"
    ff -i "$work/takeb.wav" "${exact[@]}" "${mp3[@]}" "$out/take_quiet.mp3"
    ff -i "$work/room.wav" "${exact[@]}" "${mp3[@]}" "$out/take_noise.mp3"
    ff -f lavfi -i "anullsrc=r=44100:cl=stereo" -t $take_seconds "${exact[@]}" "${mp3[@]}" "$out/take_silent.mp3"
    # Long files without speech: the noise bed alone, and digital silence.
    ff -i "$work/noise.wav" -t 30 "${exact[@]}" "${mp3[@]}" "$out/noise.mp3"
    ff -f lavfi -i "anullsrc=r=44100:cl=stereo" -t 30 "${exact[@]}" "${mp3[@]}" "$out/silent.mp3"
    ff -f lavfi -i "testsrc=size=160x120:rate=10:duration=3" "${exact[@]}" -c:v mpeg4 "$out/video_only.mp4"
    # The corpus cut off in the middle of an MP3 frame, a quarter of the way in.
    head -c $(($(stat -c %s "$out/corpus.mp3") / 4 + 77)) "$out/corpus.mp3" >"$out/truncated.mp3"
fi
