#!/usr/bin/env bash
# Makes the content that a new learner's data folder starts with: the help and
# about videos with their LRC files, the practice materials of the three levels
# in "workspace/", the three list files and the empty "files/" folder. Every
# sound is spoken by espeak-ng and every picture drawn by ImageMagick, with
# fixed parameters, so that every run gives the same bytes.
#   make-samples.sh OUTDIR
# OUTDIR is replaced as a whole; the sibling file OUTDIR.complete marks it up
# to date with the sources beside this script.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:?output folder}
out=${out%/}
stamp="$out.complete"
if [ -f "$stamp" ] && [ -d "$out" ] && [ -z "$(find "$here" -newer "$stamp" -print -quit)" ]; then
    exit 0
fi
if [ -d "$out" ] && [ ! -f "$out/basiclist.xml" ] && [ -n "$(ls -A "$out")" ]; then
    echo "make-samples.sh: $out holds something else; not replacing it" >&2
    exit 1
fi
# shellcheck source=samples/lib/sound.sh
. "$here/lib/sound.sh"
# shellcheck source=samples/lib/drawing.sh
. "$here/lib/drawing.sh"
# shellcheck source=samples/lib/slides.sh
. "$here/lib/slides.sh"
check_fonts

work=$(mktemp -d "${TMPDIR:-/tmp}/repeta-samples.XXXXXX")
trap 'rm -rf "$work"' EXIT
content="$work/content"
mkdir -p "$content/workspace" "$content/files"

# Groups of the three lists: level, list file, group title, materials (the
# base names of passages/*.txt, in list order).
levels=(basic advanced expert)
declare -A listFile=([basic]=basiclist.xml [advanced]=advancedlist.xml [expert]=expertlist.xml)
declare -A groupTitle=([basic]="日常英语入门" [advanced]="生活场景" [expert]="短篇演讲")
declare -A materials=([basic]="greetings family" [advanced]="weekend-trip directions"
    [expert]="sleep-and-memory mistakes")
# Written as every material's `texturl`, the address the program's import
# writes too; nothing reads it.
textUrl="http://www.example.com/"

# Practice materials: one MP3 and one bilingual LRC each. The encoders run
# beside the rest.
declare -A titleOf
encoders=()
for level in "${levels[@]}"; do
    for name in ${materials[$level]}; do
        read_script "$here/passages/$name.txt"
        titleOf[$name]=${meta[title]}
        speak_script "$work/$name" 1 "${meta[voice]}" "${meta[speed]}" "${meta[gap]}"
        ff -i "$work/$name/all.wav" "${exact[@]}" "${mp3[@]}" "$content/workspace/$name.mp3" &
        encoders+=($!)
        write_lrc "$content/workspace/$name.lrc" "${meta[title]#* }"
        # What the slides show of it: its lines, its English sentences and
        # its sentences as fractions of its length.
        for i in "${!english[@]}"; do printf '%s %s\n' "${english[$i]}" "${chinese[$i]}"; done > "$work/$name/lines"
        printf '%s\n' "${english[@]}" > "$work/$name/english"
        length=$(soxi -s "$work/$name/all.wav")
        for i in "${!english[@]}"; do
            awk -v a="${startSamples[$i]}" -v n="${segmentSamples[$i]}" -v l="$length" 'BEGIN { printf "%.4f:%.4f\n", a / l, (a + n) / l }'
        done > "$work/$name/bands"
    done
done

# A learner's recording for the slides that compare: the sentence that the
# slides practise, in another, slower voice.
english=("$(practised_sentence)") chinese=("") spoken=("$(practised_sentence)")
speak_script "$work/compare" 1 en-us+m3 105 0.2

# The lists, indented by 4 spaces per level as the program writes them.
for level in "${levels[@]}"; do
    {
        printf '<?xml version="1.0" encoding="UTF-8"?>\n'
        printf '<sayloom version="1.0">\n'
        printf '    <train folded="no">\n'
        printf '        <title>%s</title>\n' "$(xml_text "${groupTitle[$level]}")"
        first=1
        for name in ${materials[$level]}; do
            [ $first = 1 ] || printf '        <separator/>\n'
            first=0
            printf '        <case texturl="%s" url="%s" learned="%s">\n' "$textUrl" "$name.mp3" "$name.mp3"
            printf '            <title>%s</title>\n' "$(xml_text "${titleOf[$name]}")"
            printf '        </case>\n'
        done
        printf '    </train>\n'
        printf '</sayloom>\n'
    } > "$content/${listFile[$level]}"
done

# The help and about videos: one slide per sentence, shown from the start of
# the sentence's sound to the start of the next one.
for video in help about; do
    read_script "$here/text/$video.txt"
    speak_script "$work/$video" "$kFrameSamples" "${meta[voice]}" "${meta[speed]}" "${meta[gap]}"
    write_lrc "$content/$video.lrc" "${video^}"
    inputs=()
    chain=""
    for i in "${!english[@]}"; do
        render_slide "${slide[$i]}" "$i" "${#english[@]}" "${english[$i]}" "${chinese[$i]}" "$work/$video/slide$i.png"
        frames=$((segmentSamples[i] / kFrameSamples))
        inputs+=(-framerate "$kFrameRate" -i "$work/$video/slide$i.png")
        chain+="[$i:v]format=yuv420p,loop=loop=$((frames - 1)):size=1:start=0,setpts=N/($kFrameRate*TB)[v$i];"
    done
    joined=""
    for i in "${!english[@]}"; do joined+="[v$i]"; done
    chain+="${joined}concat=n=${#english[@]}:v=1:a=0[video]"
    ff "${inputs[@]}" -i "$work/$video/all.wav" -filter_complex "$chain" \
        -map "[video]" -map "${#english[@]}:a" -threads 1 "${exact[@]}" \
        -c:v flv1 -q:v 2 -g 125 -r "$kFrameRate" -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 "$content/$video.flv"
done

for pid in "${encoders[@]}"; do wait "$pid"; done
if [ -d "$out" ]; then rm -rf "$out"; fi
rm -f "$stamp"
mkdir -p "$(dirname "$out")"
mv "$content" "$out"
touch "$stamp"
