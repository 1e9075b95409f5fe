#!/usr/bin/env bash
# Generates the test media into a folder, with fixed parameters so that every
# run sees the same bytes. Skips the work when the folder is up to date.
#   generate.sh OUTDIR
set -euo pipefail
out=${1:?output folder}
stamp="$out/.complete"
self="${BASH_SOURCE[0]}"
[ -f "$stamp" ] && [ "$stamp" -nt "$self" ] && exit 0
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
exact=(-fflags +bitexact -flags:a +bitexact -flags:v +bitexact -map_metadata -1)
mp3=(-c:a libmp3lame -b:a 128k -ar 44100 -ac 2)

# Tones and silence.
ff -f lavfi -i "sine=frequency=1000:sample_rate=44100:duration=3" "${exact[@]}" "${mp3[@]}" sine1k.mp3
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=2" "${exact[@]}" "${mp3[@]}" tone440.mp3
ff -f lavfi -i "anullsrc=r=44100:cl=stereo" -t 3 "${exact[@]}" "${mp3[@]}" silence.mp3
ff -f lavfi -i "sine=frequency=1000:sample_rate=44100:duration=3" "${exact[@]}" -c:a pcm_s16le -ac 2 sine1k.wav

# Full scale for the waveform pictures: a loud sine, and one that is silent in
# its first half and loud in its second. WAV durations are exact to the sample.
loud='aevalsrc=sin(2*PI*1000*t):c=stereo:s=44100:d=3'
halfloud='aevalsrc=if(lt(t\,1.5)\,0\,sin(2*PI*1000*t)):c=stereo:s=44100:d=3'
ff -f lavfi -i "$loud" "${exact[@]}" -c:a pcm_s16le -ac 2 fullscale.wav
ff -f lavfi -i "$halfloud" "${exact[@]}" -c:a pcm_s16le -ac 2 halfloud.wav
ff -f lavfi -i "$halfloud" "${exact[@]}" "${mp3[@]}" halfloud.mp3

# Ten seconds, second k holding a tone of 300 + 100 k Hz: where a seek lands
# can be told by ear.
parts=()
for k in $(seq 0 9); do parts+=("sine=frequency=$((300 + 100 * k)):sample_rate=44100:duration=1"); done
inputs=(); for p in "${parts[@]}"; do inputs+=(-f lavfi -i "$p"); done
ff "${inputs[@]}" -filter_complex "concat=n=10:v=0:a=1" "${exact[@]}" "${mp3[@]}" steps.mp3

# Four sentences of tones with gaps, and their LRC: sentence i is a tone of
# 500 + 250 i Hz lasting 1.5 s, the sentences 2 s apart.
tones=()
for i in 0 1 2 3; do tones+=(-f lavfi -i "sine=frequency=$((500 + 250 * i)):sample_rate=44100:duration=1.5" -f lavfi -i "anullsrc=r=44100:cl=mono:d=0.5"); done
ff "${tones[@]}" -filter_complex "concat=n=8:v=0:a=1" "${exact[@]}" "${mp3[@]}" sentences.mp3
printf '[ti:Tones]\r\n[ar:Generator]\r\n[00:00.00]First tone\r\n[00:02.00]Second tone\r\n[00:04.00]Third tone\r\n[00:06.00]Fourth tone\r\n' > sentences.lrc

# Spoken English with a bilingual LRC. Each sentence is spoken separately so
# that its start time is known exactly.
sentences=("Good morning. How are you today?" "I would like a cup of tea, please." "The weather is lovely this afternoon.")
chinese=("早上好。你今天好吗？" "请给我一杯茶。" "今天下午天气很好。")
start=0
lrc="[ti:Speech]\n"
list=""
for i in "${!sentences[@]}"; do
    espeak-ng -v en-us -s 150 -w "speech$i.wav" "${sentences[$i]}"
    sox -R "speech$i.wav" -r 44100 -c 2 "speech$i-pad.wav" pad 0 0.4
    ms=$((start % 60000))
    printf -v tag '[%02d:%02d.%02d]' $((start / 60000)) $((ms / 1000)) $((ms % 1000 / 10))
    lrc+="$tag${sentences[$i]} ${chinese[$i]}\n"
    length=$(soxi -D "speech$i-pad.wav")
    start=$((start + $(printf '%.0f' "$(awk "BEGIN { print $length * 1000 }")")))
    list+="speech$i-pad.wav "
done
# shellcheck disable=SC2086
sox -R $list speech.wav
ff -i speech.wav "${exact[@]}" "${mp3[@]}" speech.mp3
printf "$lrc" | sed 's/$/\r/' > speech.lrc
rm -f speech[0-9]*.wav speech.wav

# Video with sound in the three other containers. The picture is four flat
# quadrants (red, green / blue, white) so that a grabbed surface can be checked.
pattern="color=c=red:s=320x240:r=25:d=3,drawbox=x=160:y=0:w=160:h=120:c=lime:t=fill,drawbox=x=0:y=120:w=160:h=120:c=blue:t=fill,drawbox=x=160:y=120:w=160:h=120:c=white:t=fill"
sound="sine=frequency=1000:sample_rate=44100:duration=3"
ff -f lavfi -i "$pattern" -f lavfi -i "$sound" "${exact[@]}" -c:v flv1 -c:a libmp3lame -ar 44100 -shortest video.flv
ff -f lavfi -i "$pattern" -f lavfi -i "$sound" "${exact[@]}" -c:v wmv2 -c:a wmav2 -ar 44100 -shortest video.wmv
ff -f lavfi -i "$pattern" -f lavfi -i "$sound" "${exact[@]}" -c:v rv20 -c:a ac3 -ar 44100 -shortest video.rm
# A wide picture (16:9) for the aspect rule.
ff -f lavfi -i "color=c=red:s=480x270:r=25:d=2" -f lavfi -i "$sound" "${exact[@]}" -c:v flv1 -c:a libmp3lame -ar 44100 -shortest wide.flv

# A video without a sound track.
ff -f lavfi -i "$pattern" "${exact[@]}" -c:v flv1 noaudio.flv

# A second of silence, then a 1 kHz tone, in every container: where each one
# puts the start of the sound against its timestamps.
onset="anullsrc=r=44100:cl=stereo:d=1[s];sine=frequency=1000:sample_rate=44100:duration=2,aformat=channel_layouts=stereo[t];[s][t]concat=n=2:v=0:a=1"
ff -f lavfi -i "$onset" "${exact[@]}" "${mp3[@]}" onset.mp3
ff -f lavfi -i "$pattern" -f lavfi -i "$onset" "${exact[@]}" -c:v flv1 -c:a libmp3lame -ar 44100 -shortest onset.flv
ff -f lavfi -i "$pattern" -f lavfi -i "$onset" "${exact[@]}" -c:v wmv2 -c:a wmav2 -ar 44100 -shortest onset.wmv
ff -f lavfi -i "$pattern" -f lavfi -i "$onset" "${exact[@]}" -c:v rv20 -c:a ac3 -ar 44100 -shortest onset.rm

# The same four seconds in every container a learner brings: a second of
# silence, then a second each of 400, 600 and 800 Hz. The silence ends at
# 1.000 s of the sound in all of them, wherever each puts it against its
# timestamps; the changes of tone pin every later sample. Video files carry
# a small flat picture, as such files do.
ff -f lavfi -i "anullsrc=r=44100:cl=stereo:d=1" -f lavfi -i "sine=f=400:r=44100:d=1" \
    -f lavfi -i "sine=f=600:r=44100:d=1" -f lavfi -i "sine=f=800:r=44100:d=1" \
    -filter_complex "[1][2][3]concat=n=3:v=0:a=1,aformat=channel_layouts=stereo[t];[0][t]concat=n=2:v=0:a=1" \
    "${exact[@]}" -c:a pcm_s16le seconds.wav
still=(-f lavfi -i "color=c=blue:s=160x120:r=10:d=4")
x264=(-c:v libx264 -preset ultrafast)
vp8=(-c:v libvpx -deadline realtime -cpu-used 8)
aac=(-c:a aac -b:a 128k)
opus=(-c:a libopus -b:a 96k)
vorbis=(-c:a libvorbis -q:a 4)
ff -i seconds.wav "${exact[@]}" "${mp3[@]}" seconds.mp3
ff "${still[@]}" -i seconds.wav "${exact[@]}" -c:v flv1 "${mp3[@]}" seconds.flv
ff "${still[@]}" -i seconds.wav "${exact[@]}" -c:v wmv2 -c:a wmav2 seconds.wmv
ff "${still[@]}" -i seconds.wav "${exact[@]}" -c:v rv20 -c:a ac3 seconds.rm
ff "${still[@]}" -i seconds.wav "${exact[@]}" "${x264[@]}" "${aac[@]}" seconds.mp4
ff "${still[@]}" -i seconds.wav "${exact[@]}" "${x264[@]}" "${aac[@]}" seconds.mov
ff -i seconds.wav "${exact[@]}" "${aac[@]}" seconds.m4a
ff "${still[@]}" -i seconds.wav "${exact[@]}" "${x264[@]}" "${opus[@]}" seconds.mkv
ff "${still[@]}" -i seconds.wav "${exact[@]}" "${vp8[@]}" "${opus[@]}" seconds.webm
ff "${still[@]}" -i seconds.wav "${exact[@]}" "${vp8[@]}" "${vorbis[@]}" seconds-vorbis.webm
ff -i seconds.wav "${exact[@]}" "${vorbis[@]}" seconds.ogg
ff -i seconds.wav "${exact[@]}" "${opus[@]}" seconds.opus
ff -i seconds.wav "${exact[@]}" -c:a flac seconds.flac
ff "${still[@]}" -i seconds.wav "${exact[@]}" -c:v mpeg4 "${mp3[@]}" seconds.avi
ff "${still[@]}" -i seconds.wav "${exact[@]}" -c:v mpeg4 -c:a pcm_s16le seconds-pcm.avi

# Cover art is a picture stream, not video: with sound, and alone.
ff -f lavfi -i "color=c=green:s=64x64:d=1" -frames:v 1 cover.png
ff -i seconds.m4a -i cover.png -map 0 -map 1 "${exact[@]}" -c copy -disposition:v attached_pic cover.m4a
ff -i seconds.mp3 -i cover.png -map 0 -map 1 "${exact[@]}" -c copy -disposition:v attached_pic cover.mp3
ff -i cover.png "${exact[@]}" -c copy -disposition:v attached_pic -f ipod coveronly.m4a
ff "${still[@]}" -t 3 "${exact[@]}" "${x264[@]}" noaudio.mp4
rm -f cover.png

# Broken files.
: > empty.mp3
head -c 20000 sine1k.mp3 > truncated.mp3
# Cut off after about 1.5 s of sound; an MP4 keeps its index in front.
ff -i seconds.m4a "${exact[@]}" -c copy -movflags +faststart seconds-faststart.m4a
head -c 25000 seconds-faststart.m4a > truncated.m4a
rm -f seconds-faststart.m4a
head -c 16000 seconds.ogg > truncated.ogg
head -c 20000 seconds.flac > truncated.flac
head -c 24000 seconds.mkv > truncated.mkv
# Without its index at the end, an MP4 cannot be opened.
head -c 30000 seconds.m4a > noindex.m4a
printf 'This is a text file, not media.\n%.0s' $(seq 40) > text.mp3

touch "$stamp"

# ---- Video at 720p, 30 pictures a second (media/VideoThread, IVideo) ----
# Two seconds of 1280x720 whose pictures can be told apart on the surface:
# the top half's colour is the second (red, then lime), and picture k of the
# second has a white bar 40 pixels wide at x = 40 k in the black bottom half.
# Converted with the BT.709 matrix and left untagged, as most HD lessons are.
# Made after the stamp above, so the stamp waits for them too.
rm -f "$stamp"
hd="color=c=red:s=1280x720:r=30:d=1,drawbox=y=360:h=360:c=black:t=fill[a];"
hd+="color=c=lime:s=1280x720:r=30:d=1,drawbox=y=360:h=360:c=black:t=fill[b];"
hd+="color=c=white:s=40x360:r=30:d=2[bar];[a][b]concat=n=2[bg];"
hd+="[bg][bar]overlay=x='40*mod(round(t*30)\,30)':y=360:eval=frame,scale=out_color_matrix=bt709,format=yuv420p"
tone="sine=frequency=1000:sample_rate=48000:duration=2"
ff -f lavfi -i "$hd" -f lavfi -i "$tone" "${exact[@]}" -c:v libx264 -preset veryfast -c:a aac -shortest video720.mp4
ff -f lavfi -i "$hd" -f lavfi -i "$tone" "${exact[@]}" -c:v libx264 -preset veryfast -c:a aac -shortest video720.mkv
ff -f lavfi -i "$hd" -f lavfi -i "$tone" "${exact[@]}" -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 1M \
    -c:a libopus -shortest video720.webm
touch "$stamp"
# ---- end of video at 720p ----

# ---- Pure tones for playback at other speeds (media/TempoStage) ----
# A second of 400 Hz, then one of 600 Hz, at full 16-bit precision and
# joined at a zero crossing: a loop across the change shows each round's
# middle, and any click at its jump stands out above 4 kHz. And the steps
# file in FLAC, whose frames of 4608 samples (0.1 s) are four times as long
# as MP3's.
rm -f "$stamp"
ff -f lavfi -i "aevalsrc=0.5*sin(2*PI*if(lt(t\,1)\,400\,600)*t):c=stereo:s=44100:d=2" "${exact[@]}" -c:a pcm_s16le twotones.wav
ff "${inputs[@]}" -filter_complex "concat=n=10:v=0:a=1" "${exact[@]}" -c:a flac -ar 44100 -ac 2 steps.flac
touch "$stamp"
# ---- end of pure tones ----
