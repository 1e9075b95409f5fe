# Speech and timing for make-samples.sh (sourced): reading a script of
# sentences, speaking it sentence by sentence, and the LRC file that says
# where each sentence starts.
# shellcheck shell=bash disable=SC2034 # the settings and results are the caller's

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
exact=(-fflags +bitexact -flags:a +bitexact -flags:v +bitexact -map_metadata -1)
mp3=(-c:a libmp3lame -b:a 128k -ar 44100 -ac 2)

kRate=44100
kFrameRate=25
kFrameSamples=$((kRate / kFrameRate)) # one video frame of sound
kLeadSamples=$((kRate * 15 / 100))    # silence between a sentence's tag and its first sound: 0.15 s

# Reads a script file: "key: value" lines up to "---", then one sentence per
# line. Lines starting with "#" are comments.
#   passage lines: English | Chinese
#   video lines:   slide | English | Chinese [| the English as it is to be spoken]
# Fills meta[key], english[], chinese[], spoken[] and slide[] (empty for a passage).
read_script() {
    local file=$1 line body=0 fields
    declare -gA meta=()
    english=() chinese=() spoken=() slide=()
    while IFS= read -r line || [ -n "$line" ]; do
        case $line in
            '#'* | '') continue ;;
            ---) body=1; continue ;;
        esac
        if [ $body = 0 ]; then
            meta[${line%%:*}]=$(trim "${line#*:}")
            continue
        fi
        IFS='|' read -r -a fields <<< "$line"
        if [ ${#fields[@]} = 2 ]; then
            slide+=("")
        else
            slide+=("$(trim "${fields[0]}")")
            fields=("${fields[@]:1}")
        fi
        english+=("$(trim "${fields[0]}")")
        chinese+=("$(trim "${fields[1]}")")
        spoken+=("$(trim "${fields[2]:-${fields[0]}}")")
    done < "$file"
    if [ ${#english[@]} = 0 ]; then
        echo "make-samples.sh: no sentences in $file" >&2
        exit 1
    fi
}

trim() {
    local s=$1
    s=${s#"${s%%[![:space:]]*}"}
    printf '%s' "${s%"${s##*[![:space:]]}"}"
}

# Speaks every sentence of the script read last into DIR/all.wav (44.1 kHz
# stereo): each sentence is a segment of 0.15 s of silence, the speech with
# the synthesizer's own silence trimmed, and GAP seconds of silence, made up
# to a whole number of QUANTUM samples (one video frame for a video, so that
# every slide lasts whole frames). Fills startSamples[] and segmentSamples[].
#   speak_script DIR QUANTUM VOICE SPEED GAP
speak_script() {
    local dir=$1 quantum=$2 voice=$3 speed=$4 gap=$5
    local gapSamples start=0 n total i parts=()
    gapSamples=$(awk -v g="$gap" -v r="$kRate" 'BEGIN { printf "%d", g * r }')
    mkdir -p "$dir"
    startSamples=() segmentSamples=()
    for i in "${!spoken[@]}"; do
        espeak-ng -v "$voice" -s "$speed" -w "$dir/raw$i.wav" "${spoken[$i]}"
        sox -R -D "$dir/raw$i.wav" -r "$kRate" -c 2 -b 16 "$dir/speech$i.wav" \
            silence 1 0.005 0.05% reverse silence 1 0.005 0.05% reverse gain -3
        n=$(soxi -s "$dir/speech$i.wav")
        total=$(((kLeadSamples + n + gapSamples + quantum - 1) / quantum * quantum))
        sox -R -D "$dir/speech$i.wav" "$dir/segment$i.wav" pad "${kLeadSamples}s" "$((total - kLeadSamples - n))s"
        startSamples+=("$start")
        segmentSamples+=("$total")
        start=$((start + total))
        parts+=("$dir/segment$i.wav")
    done
    sox -R -D "${parts[@]}" "$dir/all.wav" gain -n -1
}

# "[mm:ss.xx]" for a position in samples, rounded down to the hundredth so
# that a tag never lies after the start of its segment.
lrc_tag() {
    local cs=$(($1 * 100 / kRate))
    printf '[%02d:%02d.%02d]' $((cs / 6000)) $((cs % 6000 / 100)) $((cs % 100))
}

# The LRC file of the script spoken last: a title tag, then one line per
# sentence, "English Chinese", with CR LF line ends.
#   write_lrc FILE TITLE
write_lrc() {
    local i
    {
        printf '[ti:%s]\r\n[ar:Repeta]\r\n' "$2"
        for i in "${!english[@]}"; do
            printf '%s%s %s\r\n' "$(lrc_tag "${startSamples[$i]}")" "${english[$i]}" "${chinese[$i]}"
        done
    } > "$1"
}

xml_text() {
    local s=$1
    s=${s//&/&amp;}
    s=${s//</&lt;}
    printf '%s' "${s//>/&gt;}"
}
