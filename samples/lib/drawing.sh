# Drawing with ImageMagick for the slides of make-samples.sh (sourced): the
# primitives (texts, rounded panels filled with gradients) and small drawings
# of the program's own parts, in its look: light blue panels (#F8FCFE to
# #E2F0F8), deep blue rgb(24,120,164) and tint rgb(27,177,255), rounded
# corners, black karaoke and waveform surfaces.
#
# A drawing adds to IM, the argument list of the convert call that makes the
# slide: MVG primitives are collected in MVG and added as one -draw when a
# composite (a gradient through a mask) must come between them.
# The waveforms are those of the real sample sentences and the library shows
# the real lists, so some drawings read what make-samples.sh made before the
# videos: groupTitle[], materials[], titleOf[] and the sounds under $work.
# shellcheck shell=bash disable=SC2154

kWidth=640
kHeight=360
kFont=Noto-Sans-CJK-SC
kBold=Noto-Sans-CJK-SC-Bold
kSerif=DejaVu-Serif # the karaoke view's Latin face
DEEP='rgb(24,120,164)'
TINT='rgb(27,177,255)'
INK='#16425C'
SOFT='#5C8AA5'
EDGE='#B6CCDC'
TOP='#F8FCFE'
BOTTOM='#E2F0F8'
RED='#E5484D'
SELECT_TOP='#6EA1F1' # the library's selected row
SELECT_BOTTOM='#567DBC'

IM=()  # convert arguments of the slide being drawn
MVG="" # drawing primitives not yet added to IM

# Fails unless ImageMagick knows every face the slides use: a missing one
# would be replaced silently, and Chinese would come out as boxes.
check_fonts() {
    local known face
    known=$(convert -list font)
    for face in "$kFont" "$kBold" "$kSerif"; do
        if ! grep -qx "  Font: $face" <<< "$known"; then
            echo "make-samples.sh: ImageMagick has no font $face (packages fonts-noto-cjk, fonts-dejavu-core)" >&2
            exit 1
        fi
    done
}

# Starts a slide: the background gradient.
new_drawing() {
    IM=(-respect-parentheses -size "${kWidth}x$kHeight" gradient:"$TOP-$BOTTOM")
    MVG=""
}

mvg() { MVG+="$*"$'\n'; }
flush() {
    if [ -n "$MVG" ]; then IM+=(-draw "$MVG"); fi
    MVG=""
}

# A text as an MVG string. Double quotes and percent signs are refused: the
# one ends the string, the other is an escape for label:.
quoted() {
    case $1 in *'"'* | *%*) echo "slides.sh: cannot draw the text: $1" >&2; exit 1 ;; esac
    printf '"%s"' "$1"
}

# txt X Y SIZE COLOR ANCHOR(start|middle|end) FONT TEXT
txt() {
    mvg "push graphic-context font '$6' font-size $3 fill '$4' stroke none text-anchor $5 text $1,$2 $(quoted "$7") pop graphic-context"
}

# Width in pixels of a text: textwidth FONT SIZE TEXT
textwidth() {
    quoted "$3" > /dev/null
    convert -font "$1" -pointsize "$2" label:"$3" -format %w info:
}

# The largest size up to MAX at which TEXT fits into WIDTH pixels.
fitsize() { # FONT MAX WIDTH TEXT
    local w
    w=$(textwidth "$1" "$2" "$4")
    if [ "$w" -le "$3" ]; then echo "$2"; else echo $(($2 * $3 / w)); fi
}

# rrect X Y W H RADIUS FILL [STROKE [STROKE_WIDTH]]
rrect() {
    mvg "push graphic-context fill '$6' stroke '${7:-none}' stroke-width ${8:-1} roundrectangle $1,$2 $(($1 + $3)),$(($2 + $4)) $5,$5 pop graphic-context"
}

# A shape filled with a vertical gradient. SHAPE is MVG in the shape's own
# coordinates (0,0 to W,H), drawn in white as the mask.
#   gshape X Y W H TOPCOLOUR BOTTOMCOLOUR SHAPE
gshape() {
    flush
    IM+=(\( -size "$3x$4" gradient:"$5-$6" \( -size "$3x$4" xc:black -draw "fill white stroke none $7" \)
        -alpha off -compose CopyOpacity -composite \) -compose Over -geometry "+$1+$2" -composite)
}

# gpanel X Y W H RADIUS TOPCOLOUR BOTTOMCOLOUR [STROKE]
gpanel() {
    gshape "$1" "$2" "$3" "$4" "$6" "$7" "roundrectangle 0,0 $(($3 - 1)),$(($4 - 1)) $5,$5"
    if [ -n "${8:-}" ]; then
        mvg "push graphic-context fill none stroke '$8' stroke-width 1 roundrectangle $1.5,$2.5 $(($1 + $3 - 1)).5,$(($2 + $4 - 1)).5 $5,$5 pop graphic-context"
    fi
}

# Peaks of a sound in COLUMNS columns, 0..1000 of its loudest column: PEAKS[].
peaks() { # WAV COLUMNS
    mapfile -t PEAKS < <(ffmpeg -nostdin -v error -i "$1" -ac 1 -ar 4000 -f s16le - | od -An -v -td2 -w2 |
        awk -v n="$2" '{ s[NR] = $1 < 0 ? -$1 : $1 }
            END {
                top = 1
                for (c = 0; c < n; c++) {
                    p = 0
                    for (i = int(c * NR / n) + 1; i <= int((c + 1) * NR / n); i++) if (s[i] > p) p = s[i]
                    col[c] = p; if (p > top) top = p
                }
                for (c = 0; c < n; c++) printf "%d\n", col[c] * 1000 / top
            }')
}

# The waveform view: a black surface with one bar per column standing on its
# bottom edge, deep blue at the top and light blue at the bottom. Optional
# sentence bands (tint, the current one cyan) and the play position (white).
#   wave X Y W H WAV [CURSOR_FRACTION [BAND_FROM:BAND_TO ...]]
# A band marked with a leading "+" is the current sentence.
wave() {
    local x=$1 y=$2 w=$3 h=$4 wav=$5 cursor=${6:-} c bars="" iw=$(($3 - 4)) ih=$(($4 - 4)) band from to
    shift 6 2> /dev/null || shift $#
    rrect "$x" "$y" "$w" "$h" 3 black "$EDGE"
    peaks "$wav" "$iw"
    for c in "${!PEAKS[@]}"; do
        bars+="line $c,$ih $c,$((ih - PEAKS[c] * (ih - 2) / 1000)) "
    done
    gshape $((x + 2)) $((y + 2)) "$iw" "$ih" "$DEEP" 'rgb(157,214,240)' "stroke white stroke-width 1 $bars"
    for band in "$@"; do
        local colour='rgba(27,177,255,0.32)'
        if [[ $band == +* ]]; then colour='rgba(0,200,200,0.45)'; band=${band#+}; fi
        from=${band%:*} to=${band#*:}
        mvg "push graphic-context fill '$colour' stroke none rectangle $(awk -v a="$from" -v b="$to" -v x=$((x + 2)) -v w="$iw" -v y=$((y + 2)) -v h="$ih" 'BEGIN { printf "%.1f,%d %.1f,%d", x + a * w, y, x + b * w - 1, y + h - 1 }') pop graphic-context"
    done
    if [ -n "$cursor" ]; then
        local cx
        cx=$(awk -v f="$cursor" -v x=$((x + 2)) -v w="$iw" 'BEGIN { printf "%d", x + f * w }')
        mvg "push graphic-context stroke 'rgba(255,255,255,0.8)' stroke-width 2 line $cx,$((y + 2)) $cx,$((y + h - 2)) pop graphic-context"
    fi
}

# The karaoke view: a black surface with the sentence centred, the spoken
# part green and the rest magenta.
#   kara X Y W H FRACTION SIZE TEXT
kara() {
    local x=$1 y=$2 w=$3 h=$4 fraction=$5 size=$6 text=$7 tw x0 base split
    rrect "$x" "$y" "$w" "$h" 4 black "$EDGE"
    flush
    tw=$(textwidth "$kSerif" "$size" "$text")
    x0=$((x + (w - tw) / 2))
    base=$((y + h / 2 + size / 3))
    split=$(awk -v f="$fraction" -v x="$x0" -v w="$tw" 'BEGIN { printf "%d", x + f * w }')
    IM+=(\( -size "${kWidth}x$kHeight" xc:none -draw "font '$kSerif' font-size $size fill '#D21ED2' text $x0,$base $(quoted "$text")" \)
        -compose Over -geometry +0+0 -composite
        \( -size "${kWidth}x$kHeight" xc:none -draw "font '$kSerif' font-size $size fill '#22C81E' text $x0,$base $(quoted "$text")"
        -crop "${split}x$kHeight+0+0" +repage \) -compose Over -geometry +0+0 -composite)
}

# The mouse pointer with its tip at X,Y; "click" adds a ring where it clicks.
pointer() { # X Y [click]
    local x=$1 y=$2
    if [ "${3:-}" = click ]; then
        mvg "push graphic-context fill 'rgba(27,177,255,0.25)' stroke '$TINT' stroke-width 2 circle $x,$y $((x + 11)),$y pop graphic-context"
    fi
    mvg "push graphic-context fill white stroke black stroke-width 1.3 stroke-linejoin round polygon $x,$y $x,$((y + 23)) $((x + 6)),$((y + 18)) $((x + 10)),$((y + 27)) $((x + 14)),$((y + 25)) $((x + 10)),$((y + 17)) $((x + 17)),$((y + 17)) pop graphic-context"
}

# Blacks out the part of a waveform view after FRACTION: not recorded yet.
unrecorded() { # X Y W H FRACTION
    local from
    from=$(awk -v f="$5" -v x=$(($1 + 2)) -v w=$(($3 - 4)) 'BEGIN { printf "%d", x + f * w + 2 }')
    mvg "push graphic-context fill black stroke none rectangle $from,$(($2 + 2)) $(($1 + $3 - 3)),$(($2 + $4 - 3)) pop graphic-context"
}

# A tint frame around something to look at.
ring() { # X Y W H
    mvg "push graphic-context fill 'rgba(27,177,255,0.10)' stroke '$TINT' stroke-width 3 roundrectangle $(($1 - 4)),$(($2 - 4)) $(($1 + $3 + 4)),$(($2 + $4 + 4)) 9,9 pop graphic-context"
}

# A numbered tint disc with a label beside it.
callout() { # X Y NUMBER TEXT [SIZE]
    local size=${5:-15}
    mvg "push graphic-context fill '$TINT' stroke white stroke-width 1.5 circle $1,$2 $(($1 + 11)),$2 pop graphic-context"
    txt "$1" $(($2 + 5)) 14 white middle "$kBold" "$3"
    txt $(($1 + 18)) $(($2 + 6)) "$size" "$INK" start "$kBold" "$4"
}

# A deep blue label.
pill() { # X Y TEXT [SIZE]
    local size=${4:-13} w
    w=$(($(textwidth "$kBold" "$size" "$3") + 18))
    rrect "$1" "$2" "$w" $((size + 12)) $(((size + 12) / 2)) "$DEEP"
    txt $(($1 + w / 2)) $(($2 + size + 3)) "$size" white middle "$kBold" "$3"
}

# An arrow from X1,Y1 to X2,Y2 (horizontal or vertical).
arrow() {
    local x1=$1 y1=$2 x2=$3 y2=$4
    mvg "push graphic-context stroke '$TINT' stroke-width 3 fill none line $x1,$y1 $x2,$y2 pop graphic-context"
    if [ "$y1" = "$y2" ]; then
        local d=$((x2 > x1 ? 1 : -1))
        mvg "push graphic-context fill '$TINT' stroke none polygon $((x2 + 4 * d)),$y2 $((x2 - 8 * d)),$((y2 - 7)) $((x2 - 8 * d)),$((y2 + 7)) pop graphic-context"
    else
        local d=$((y2 > y1 ? 1 : -1))
        mvg "push graphic-context fill '$TINT' stroke none polygon $x2,$((y2 + 4 * d)) $((x2 - 7)),$((y2 - 8 * d)) $((x2 + 7)),$((y2 - 8 * d)) pop graphic-context"
    fi
}

# The play button of a waveform row: a rounded chip, play or (on) pause.
playbtn() { # X Y SIZE [on]
    local x=$1 y=$2 s=$3 k
    if [ "${4:-}" = on ]; then
        gpanel "$x" "$y" "$s" "$s" $((s / 4)) '#33BCFF' "$DEEP" "$DEEP"
        k=$((s * 10 / 26))
        rrect $((x + s * 8 / 26)) $((y + s * 8 / 26)) $((s * 4 / 26)) "$k" 1 white
        rrect $((x + s * 14 / 26)) $((y + s * 8 / 26)) $((s * 4 / 26)) "$k" 1 white
    else
        gpanel "$x" "$y" "$s" "$s" $((s / 4)) '#FFFFFF' '#E4F0F7' "$EDGE"
        mvg "push graphic-context fill '$DEEP' stroke '$DEEP' stroke-linejoin round polygon $((x + s * 10 / 26)),$((y + s * 8 / 26)) $((x + s * 19 / 26)),$((y + s / 2)) $((x + s * 10 / 26)),$((y + s * 18 / 26)) pop graphic-context"
    fi
}

# The record button: a red dot, or (on) red with a white stop square.
recbtn() { # X Y SIZE [on]
    local x=$1 y=$2 s=$3
    if [ "${4:-}" = on ]; then
        gpanel "$x" "$y" "$s" "$s" $((s / 4)) '#F2646A' '#C9363C' '#A3272C'
        rrect $((x + s / 3)) $((y + s / 3)) $((s / 3)) $((s / 3)) 2 white
    else
        gpanel "$x" "$y" "$s" "$s" $((s / 4)) '#FFFFFF' '#E4F0F7' "$EDGE"
        mvg "push graphic-context fill '$RED' stroke none circle $((x + s / 2)),$((y + s / 2)) $((x + s / 2 + s / 5)),$((y + s / 2)) pop graphic-context"
    fi
}

# A microphone with a level meter of LEVEL bars out of 5.
micmeter() { # X Y LEVEL
    local x=$1 y=$2 i
    mvg "push graphic-context fill '$DEEP' stroke none roundrectangle $x,$y $((x + 8)),$((y + 14)) 4,4 pop graphic-context"
    mvg "push graphic-context fill none stroke '$DEEP' stroke-width 2 path 'M $((x - 3)),$((y + 9)) Q $((x - 3)),$((y + 19)) $((x + 4)),$((y + 19)) Q $((x + 11)),$((y + 19)) $((x + 11)),$((y + 9))' line $((x + 4)),$((y + 19)) $((x + 4)),$((y + 23)) pop graphic-context"
    for i in 1 2 3 4 5; do
        local colour=$EDGE
        [ "$i" -le "$3" ] && colour=$TINT
        rrect $((x + 12 + i * 6)) $((y + 20 - i * 4)) 4 $((i * 4)) 1 "$colour"
    done
}

# The phase tabs of the control panel; CURRENT is 0, 1 or 2. Each slot is
# 130 pixels wide.
phasetabs() { # X Y CURRENT
    local x=$1 y=$2 i sx
    local cn=("全文模仿" "跟读训练" "复述练习") en=("Passage Imitation" "Listen & Repeat" "Retelling Exercise")
    for i in 0 1 2; do
        sx=$((x + i * 130))
        if [ "$i" = "$3" ]; then
            gshape "$sx" "$y" 130 46 '#2AA9E6' '#1878A4' \
                "path 'M 0,46 L 7,8 Q 9,0 17,0 L 113,0 Q 121,0 123,8 L 130,46 Z'"
            txt $((sx + 65)) $((y + 17)) 12 white middle "$kFont" "${en[$i]}"
            txt $((sx + 65)) $((y + 38)) 16 white middle "$kBold" "${cn[$i]}"
        else
            txt $((sx + 65)) $((y + 36)) 16 "$INK" middle "$kBold" "${cn[$i]}"
        fi
    done
    mvg "push graphic-context stroke '$DEEP' stroke-width 2 line $x,$((y + 46)) $((x + 390)),$((y + 46)) pop graphic-context"
}

# A waveform row of the main window: play button, label, waveform, time.
#   plotrow X Y W LABEL WAV PLAYSTATE TIME [wave arguments...]
plotrow() {
    local x=$1 y=$2 w=$3 label=$4 wav=$5 state=$6 time=$7
    shift 7
    playbtn "$x" $((y + 7)) 26 "$state"
    txt $((x + 34)) $((y + 25)) 13 "$INK" start "$kBold" "$label"
    if [ -n "$wav" ]; then
        wave $((x + 96)) "$y" $((w - 170)) 40 "$wav" "$@"
    else
        rrect $((x + 96)) "$y" $((w - 170)) 40 3 black "$EDGE"
    fi
    txt $((x + w - 66)) $((y + 17)) 11 "$SOFT" start "$kFont" "00:00:00"
    txt $((x + w - 66)) $((y + 32)) 11 "$SOFT" start "$kFont" "$time"
}

# Small icons of the library tree.
folder_icon() { # X Y
    mvg "push graphic-context fill '#F5C451' stroke '#C99A2E' stroke-width 1 path 'M $1,$(($2 + 2)) L $(($1 + 6)),$(($2 + 2)) L $(($1 + 8)),$(($2 + 4)) L $(($1 + 16)),$(($2 + 4)) L $(($1 + 16)),$(($2 + 14)) L $1,$(($2 + 14)) Z' pop graphic-context"
}
file_icon() { # X Y [COLOUR]
    mvg "push graphic-context fill white stroke '${3:-$SOFT}' stroke-width 1 path 'M $(($1 + 2)),$2 L $(($1 + 10)),$2 L $(($1 + 14)),$(($2 + 4)) L $(($1 + 14)),$(($2 + 16)) L $(($1 + 2)),$(($2 + 16)) Z' line $(($1 + 5)),$(($2 + 8)) $(($1 + 11)),$(($2 + 8)) line $(($1 + 5)),$(($2 + 11)) $(($1 + 11)),$(($2 + 11)) pop graphic-context"
}
export_icon() { # X Y: the pointer shown over the export column
    mvg "push graphic-context fill none stroke '$DEEP' stroke-width 2 path 'M $(($1 + 2)),$(($2 + 6)) L $(($1 + 2)),$(($2 + 16)) L $(($1 + 16)),$(($2 + 16)) L $(($1 + 16)),$(($2 + 6))' line $(($1 + 9)),$(($2 + 12)) $(($1 + 9)),$2 pop graphic-context"
    mvg "push graphic-context fill '$DEEP' stroke none polygon $(($1 + 9)),$(($2 - 3)) $(($1 + 4)),$(($2 + 3)) $(($1 + 14)),$(($2 + 3)) pop graphic-context"
}

# The level icon of a library tab: three bars, as many of them dark as the level.
level_icon() { # X Y LEVEL(1..3) COLOUR DIM
    local i colour
    for i in 1 2 3; do
        colour=$5
        [ "$i" -le "$3" ] && colour=$4
        rrect $(($1 + (i - 1) * 4)) $(($2 + 12 - i * 4)) 3 $((i * 4)) 1 "$colour"
    done
}

# The library window: the level tabs and the tree of the level's list.
#   library X Y W H LEVELINDEX [SELECTED_ROW [EXPORT_HOVER_ROW]]
# Rows: 0 the group, then the materials with a separator between them.
library() {
    local x=$1 y=$2 w=$3 h=$4 tab=$5 selected=${6:--1} hover=${7:--1}
    local names=(初级 中级 高级) levelNames=(basic advanced expert) i tx tw=$(((w - 12) / 3))
    gpanel "$x" "$y" "$w" "$h" 6 "$TOP" "$BOTTOM" "$EDGE"
    for i in 0 1 2; do
        tx=$((x + 6 + i * tw))
        if [ "$i" = "$tab" ]; then
            gpanel "$tx" $((y + 6)) $((tw - 2)) 28 5 '#2AA9E6' "$DEEP"
            level_icon $((tx + tw / 2 - 30)) $((y + 14)) $((i + 1)) white 'rgba(255,255,255,0.45)'
            txt $((tx + tw / 2 + 6)) $((y + 26)) 14 white middle "$kBold" "${names[$i]}"
        else
            gpanel "$tx" $((y + 6)) $((tw - 2)) 28 5 '#FFFFFF' "$BOTTOM" "$EDGE"
            level_icon $((tx + tw / 2 - 30)) $((y + 14)) $((i + 1)) "$DEEP" "$EDGE"
            txt $((tx + tw / 2 + 6)) $((y + 26)) 14 "$INK" middle "$kBold" "${names[$i]}"
        fi
    done
    rrect $((x + 6)) $((y + 36)) $((w - 12)) $((h - 42)) 2 white "$EDGE"
    local level=${levelNames[$tab]} row=0 ry first=1 name
    ry=$((y + 40))
    folder_icon $((x + 12)) $((ry + 4))
    txt $((x + 34)) $((ry + 17)) 13 "$INK" start "$kBold" "${groupTitle[$level]}"
    for name in ${materials[$level]}; do
        if [ $first = 0 ]; then
            ry=$((ry + 24))
            txt $((x + 34)) $((ry + 15)) 12 '#9AB0C0' start "$kFont" "$(printf '·%.0s' $(seq 18))"
        fi
        first=0
        row=$((row + 1))
        ry=$((ry + 24))
        local colour=$INK
        if [ "$row" = "$selected" ]; then
            gshape $((x + 7)) "$ry" $((w - 14)) 24 "$SELECT_TOP" "$SELECT_BOTTOM" "rectangle 0,0 $((w - 14)),24"
            colour=white
        fi
        file_icon $((x + 30)) $((ry + 4)) "$([ "$colour" = white ] && echo white || echo "$SOFT")"
        txt $((x + 50)) $((ry + 17)) 13 "$colour" start "$kFont" "${titleOf[$name]}"
        if [ "$row" = "$hover" ]; then
            export_icon $((x + w - 40)) $((ry + 5))
        else
            txt $((x + w - 30)) $((ry + 17)) 13 "$colour" middle "$kFont" "导出"
        fi
    done
}

# The main window, its control panel below and the library beside it, small.
overview_windows() { # X Y
    local x=$1 y=$2
    gpanel "$x" "$y" 300 142 6 "$TOP" "$BOTTOM" "$EDGE"
    gshape "$x" "$y" 300 16 '#2AA9E6' "$DEEP" "roundrectangle 0,0 299,20 6,6"
    txt $((x + 8)) $((y + 12)) 10 white start "$kFont" "朗鹦口语训练软件"
    kara $((x + 8)) $((y + 22)) 284 54 0.45 13 "$(sentence greetings 0)"
    local labels=("当前录音" "所选单句" "材料全文") i ry
    for i in 0 1 2; do
        ry=$((y + 82 + i * 19))
        rrect $((x + 8)) $((ry + 2)) 12 12 3 white "$EDGE"
        txt $((x + 24)) $((ry + 12)) 10 "$INK" start "$kBold" "${labels[$i]}"
    done
    wave $((x + 76)) $((y + 82)) 216 16 "$work/compare/speech0.wav"
    wave $((x + 76)) $((y + 101)) 216 16 "$work/greetings/speech0.wav"
    bands greetings 0
    wave $((x + 76)) $((y + 120)) 216 16 "$work/greetings/all.wav" 0.06 "${BANDS[@]}"
    gpanel "$x" $((y + 146)) 300 42 6 "$TOP" "$BOTTOM" "$EDGE"
    gshape $((x + 92)) $((y + 152)) 80 26 '#2AA9E6' "$DEEP" "path 'M 0,26 L 5,5 Q 6,0 11,0 L 69,0 Q 74,0 75,5 L 80,26 Z'"
    txt $((x + 132)) $((y + 171)) 12 white middle "$kBold" "跟读训练"
    txt $((x + 52)) $((y + 171)) 12 "$INK" middle "$kBold" "全文模仿"
    txt $((x + 212)) $((y + 171)) 12 "$INK" middle "$kBold" "复述练习"
    recbtn $((x + 268)) $((y + 156)) 22
    gpanel $((x + 306)) "$y" 150 188 6 "$TOP" "$BOTTOM" "$EDGE"
    gpanel $((x + 311)) $((y + 5)) 46 20 4 '#2AA9E6' "$DEEP"
    txt $((x + 334)) $((y + 20)) 11 white middle "$kBold" "初级"
    gpanel $((x + 359)) $((y + 5)) 46 20 4 '#FFFFFF' "$BOTTOM" "$EDGE"
    txt $((x + 382)) $((y + 20)) 11 "$INK" middle "$kBold" "中级"
    gpanel $((x + 407)) $((y + 5)) 44 20 4 '#FFFFFF' "$BOTTOM" "$EDGE"
    txt $((x + 429)) $((y + 20)) 11 "$INK" middle "$kBold" "高级"
    rrect $((x + 311)) $((y + 28)) 140 154 2 white "$EDGE"
    folder_icon $((x + 315)) $((y + 33))
    txt $((x + 334)) $((y + 45)) 10 "$INK" start "$kBold" "${groupTitle[basic]}"
    gshape $((x + 312)) $((y + 52)) 138 18 "$SELECT_TOP" "$SELECT_BOTTOM" "rectangle 0,0 138,18"
    local name row=0
    for name in ${materials[basic]}; do
        txt $((x + 330)) $((y + 65 + row * 20)) 10 "$([ $row = 0 ] && echo white || echo "$INK")" start "$kFont" "${titleOf[$name]%% *}"
        row=$((row + 1))
    done
}

# "00:00:27": the length of a sound as the time labels show it.
duration_label() { # WAV
    local s
    s=$(soxi -D "$1" | cut -d. -f1)
    printf '%02d:%02d:%02d' $((s / 3600)) $((s % 3600 / 60)) $((s % 60))
}

# The English of sentence N (from 0) of a material: sentence NAME N
sentence() { sed -n "$(($2 + 1))p" "$work/$1/english"; }

# The sentence that the help video's slides practise: the second one of the
# greetings.
practised_sentence() { sentence greetings 1; }

# The sentence bands of a material for wave, with sentence CURRENT marked:
# BANDS[].
bands() { # NAME CURRENT
    local i=0 band
    BANDS=()
    while IFS= read -r band; do
        if [ "$i" = "$2" ]; then BANDS+=("+$band"); else BANDS+=("$band"); fi
        i=$((i + 1))
    done < "$work/$1/bands"
}

