# The slides of the help and about videos (sourced by make-samples.sh after
# drawing.sh). A slide is 640 x 360: a heading at the top, a drawing of the
# part of the program that the sentence talks about, and the sentence as a
# caption at the bottom (English small, Chinese large). Each slide_NAME
# function makes the drawing of the slide NAME of text/help.txt or
# text/about.txt and sets its heading (Chinese, English).
# shellcheck shell=bash disable=SC2154 # the globals of make-samples.sh and drawing.sh

# ---- The slides of the help video ----

slide_overview() {
    heading=("认识界面" "Three windows that move together")
    overview_windows 24 76
    callout 500 100 1 "主窗口"
    txt 518 122 12 "$SOFT" start "$kFont" "文字、视频与波形"
    callout 500 160 2 "控制面板"
    txt 518 182 12 "$SOFT" start "$kFont" "练习阶段与录音"
    callout 500 220 3 "材料库"
    txt 518 242 12 "$SOFT" start "$kFont" "选择练习材料"
}

slide_library() {
    heading=("选择材料" "Choose a material in the library")
    library 30 74 330 188 0 1
    pointer 72 154 click
    arrow 372 168 410 168
    gpanel 420 84 200 160 6 "$TOP" "$BOTTOM" "$EDGE"
    txt 520 106 13 "$INK" middle "$kBold" "${titleOf[greetings]}"
    kara 430 116 180 60 0.0 14 "$(sentence greetings 0)"
    bands greetings 0
    wave 430 186 180 40 "$work/greetings/all.wav" 0 "${BANDS[@]}"
}

slide_phases() {
    heading=("三个练习阶段" "Three phases of practice")
    phasetabs 125 84 1
    local notes=("整篇模仿，录一次音" "单句循环，逐句录音" "用自己的话复述") i x
    for i in 0 1 2; do
        x=$((125 + i * 130))
        rrect $((x + 6)) 142 118 114 8 white "$EDGE"
        txt $((x + 65)) 246 12 "$SOFT" middle "$kFont" "${notes[$i]}"
    done
    wave 137 154 106 50 "$work/greetings/all.wav"
    wave 267 154 106 50 "$work/greetings/speech1.wav" "" +0:1
    mvg "push graphic-context fill none stroke '$TINT' stroke-width 3 path 'M 360,214 Q 320,232 284,214' pop graphic-context"
    mvg "push graphic-context fill '$TINT' stroke none polygon 278,210 292,210 286,222 pop graphic-context"
    micmeter 420 172 4
    mvg "push graphic-context fill white stroke '$DEEP' stroke-width 2 roundrectangle 462,156 502,180 8,8 polygon 468,180 478,180 464,190 pop graphic-context"
    txt 482 173 12 "$DEEP" middle "$kBold" "..."
}

slide_passage() {
    heading=("全文模仿" "Passage Imitation")
    phasetabs 125 70 0
    rrect 40 124 560 78 4 white "$EDGE"
    local i
    for i in 0 1 2; do
        txt 52 $((144 + i * 22)) 13 "$([ $i = 0 ] && echo "$DEEP" || echo "$INK")" start "$kFont" "$(sed -n "$((i + 1))p" "$work/greetings/lines")"
    done
    plotrow 40 212 560 "材料全文" "$work/greetings/all.wav" on "$(duration_label "$work/greetings/all.wav")" 0.35
    pointer 54 232 click
}

slide_loop() {
    heading=("跟读训练" "Listen & Repeat")
    kara 40 72 560 72 0.3 "$(fitsize "$kSerif" 26 540 "$(practised_sentence)")" "$(practised_sentence)"
    plotrow 40 170 560 "所选单句" "$work/greetings/speech1.wav" on "$(duration_label "$work/greetings/speech1.wav")" 0.3
    bands greetings 1
    plotrow 40 220 560 "材料全文" "$work/greetings/all.wav" off "$(duration_label "$work/greetings/all.wav")" 0.12 "${BANDS[@]}"
    mvg "push graphic-context fill none stroke '$TINT' stroke-width 3 path 'M 516,168 Q 331,134 146,166' pop graphic-context"
    mvg "push graphic-context fill '$TINT' stroke none polygon 140,170 146,158 154,168 pop graphic-context"
    pill 466 58 "循环播放"
}

slide_karaoke() {
    heading=("跟读训练" "Words change colour as they are spoken")
    kara 40 72 560 84 0.75 "$(fitsize "$kSerif" 26 540 "$(practised_sentence)")" "$(practised_sentence)"
    ring 40 72 560 84
    plotrow 40 178 560 "所选单句" "$work/greetings/speech1.wav" on "$(duration_label "$work/greetings/speech1.wav")" 0.75
    ring 136 178 390 40
    pill 478 58 "卡拉OK文字"
    pill 460 222 "单句波形"
}

slide_record() {
    heading=("录音" "Record yourself")
    gpanel 40 72 560 110 8 "$TOP" "$BOTTOM" "$EDGE"
    phasetabs 125 78 1
    recbtn 70 134 36 on
    pointer 92 154 click
    micmeter 124 138 4
    txt 176 158 14 "$RED" start "$kBold" "录音中  00:00:02"
    mvg "push graphic-context fill white stroke '$DEEP' stroke-width 2 roundrectangle 340,136 590,172 12,12 polygon 341,146 341,160 326,156 pop graphic-context"
    txt 465 159 "$(fitsize "$kSerif" 14 230 "$(practised_sentence)")" "$INK" middle "$kSerif" "$(practised_sentence)"
    plotrow 40 196 560 "当前录音" "$work/compare/speech0.wav" off "00:00:02" 0.62
    unrecorded 136 196 390 40 0.62
}

slide_compare() {
    heading=("比较" "Compare with the model")
    plotrow 40 78 560 "所选单句" "$work/greetings/speech1.wav" off "$(duration_label "$work/greetings/speech1.wav")"
    plotrow 40 156 560 "当前录音" "$work/compare/speech0.wav" on "$(duration_label "$work/compare/speech0.wav")" 0.5
    pointer 60 176 click
    pill 306 124 "原声"
    pill 292 202 "我的录音"
    txt 330 254 13 "$SOFT" middle "$kFont" "听一听，看一看：长短、停顿和重音是否一致？"
}

slide_retell() {
    heading=("复述练习" "Retelling Exercise")
    gpanel 40 72 560 100 8 "$TOP" "$BOTTOM" "$EDGE"
    phasetabs 165 80 2
    recbtn 70 128 36 on
    micmeter 124 132 3
    txt 176 152 14 "$RED" start "$kBold" "录音中  00:00:21"
    rrect 136 182 390 40 3 black "$EDGE"
    txt 331 207 13 '#9FB8C8' middle "$kFont" "复述练习时，不显示单句波形"
    txt 80 207 13 "$INK" start "$kBold" "所选单句"
    plotrow 40 226 560 "当前录音" "$work/greetings/all.wav" off "00:00:21" 0.8
    unrecorded 136 226 390 40 0.8
}

# A dialog's confirm and cancel buttons, side by side from (x, y), h high.
dialog_buttons() {
    local x=$1 y=$2 h=$3 text=$(($2 + $3 / 2 + 4))
    gpanel "$x" "$y" 64 "$h" 5 '#33BCFF' "$DEEP"
    txt $((x + 32)) "$text" 11 white middle "$kBold" "$4"
    gpanel $((x + 72)) "$y" 64 "$h" 5 '#FFFFFF' "$BOTTOM" "$EDGE"
    txt $((x + 104)) "$text" 11 "$INK" middle "$kBold" "$5"
}

slide_export() {
    heading=("导出录音" "Export your recordings")
    library 20 74 300 160 0 1 1
    pointer 292 154
    arrow 330 150 352 150
    gpanel 360 72 260 190 6 '#FFFFFF' "$BOTTOM" "$EDGE"
    gshape 360 72 260 24 '#2AA9E6' "$DEEP" "roundrectangle 0,0 259,30 6,6"
    txt 372 89 12 white start "$kBold" "导出录音文件"
    local labels=("全文模仿" "跟读训练" "复述练习") bars=("已录音" "已录8/总共8句" "已录音") names=("全文模仿.mp3" "跟读训练.mp3" "源语复述.mp3") i y
    for i in 0 1 2; do
        y=$((104 + i * 36))
        txt 372 $((y + 14)) 11 "$INK" start "$kBold" "${labels[$i]}"
        gshape 424 "$y" 88 18 '#6CB1CF' '#1171A3' "roundrectangle 0,0 87,17 8,8"
        txt 468 $((y + 13)) 10 white middle "$kFont" "${bars[$i]}"
        rrect 520 "$y" 90 18 2 white "$EDGE"
        txt 524 $((y + 13)) 10 "$INK" start "$kFont" "${names[$i]}"
    done
    txt 372 226 11 "$INK" start "$kBold" "导出到"
    rrect 412 214 198 18 2 white "$EDGE"
    txt 416 227 10 "$INK" start "$kFont" "/home/learner/我的录音"
    dialog_buttons 470 238 20 "导出" "取消"
}

slide_import() {
    heading=("导入材料" "Import a material")
    library 40 74 330 188 1
    rrect 254 216 136 56 4 'rgba(0,0,0,0.12)'
    rrect 250 212 136 56 4 white "$EDGE"
    rrect 252 215 132 24 2 'rgba(27,177,255,0.30)'
    txt 266 232 13 "$INK" start "$kBold" "导入"
    txt 266 258 13 "$INK" start "$kFont" "移除材料"
    pointer 352 222
    pill 400 110 "单击右键"
    txt 400 160 13 "$SOFT" start "$kFont" "新材料会加入当前级别的"
    txt 400 180 13 "$SOFT" start "$kFont" '“导入的材料”分组'
}

slide_files() {
    heading=("导入材料" "A media file and its LRC file")
    gpanel 30 74 280 190 6 '#FFFFFF' "$BOTTOM" "$EDGE"
    gshape 30 74 280 24 '#2AA9E6' "$DEEP" "roundrectangle 0,0 279,30 6,6"
    txt 42 91 12 white start "$kBold" "选择文件"
    local files=("lesson05.mp3" "lesson06.mp3" "news.flv" "movie.wmv") i y
    for i in 0 1 2 3; do
        y=$((106 + i * 24))
        if [ $i = 0 ]; then gshape 38 $((y - 2)) 264 22 "$SELECT_TOP" "$SELECT_BOTTOM" "rectangle 0,0 264,22"; fi
        file_icon 44 "$y" "$([ $i = 0 ] && echo white || echo "$SOFT")"
        txt 66 $((y + 13)) 12 "$([ $i = 0 ] && echo white || echo "$INK")" start "$kFont" "${files[$i]}"
    done
    rrect 38 208 264 20 2 white "$EDGE"
    txt 44 222 10 "$SOFT" start "$kFont" "Media Files with Lrc (*.mp3 *.wmv *.flv *.rm)"
    txt 58 252 11 "$SOFT" start "$kFont" "同名的 LRC 文件要放在同一文件夹里"
    arrow 318 168 342 168
    gpanel 350 94 270 150 6 '#FFFFFF' "$BOTTOM" "$EDGE"
    gshape 350 94 270 24 '#2AA9E6' "$DEEP" "roundrectangle 0,0 269,30 6,6"
    txt 362 111 12 white start "$kBold" "输入材料名"
    txt 362 138 12 "$INK" start "$kFont" "多媒体文件：lesson05.mp3"
    txt 362 156 12 "$INK" start "$kFont" "Lrc文件：lesson05.lrc"
    txt 362 174 12 "$INK" start "$kFont" "请输入材料名："
    rrect 362 182 246 22 2 white "$TINT" 1.5
    txt 368 198 12 "$INK" start "$kFont" "第五课 Lesson 5"
    dialog_buttons 474 212 22 "OK" "Cancel"
}

slide_finish() {
    heading=("开始练习" "Start practising")
    local steps=("选材料" "听原声" "跟读录音" "比较") en=("Choose" "Listen" "Record" "Compare") i x
    for i in 0 1 2 3; do
        x=$((34 + i * 150))
        gpanel "$x" 96 124 140 10 "$TOP" "$BOTTOM" "$EDGE"
        mvg "push graphic-context fill '$TINT' stroke none circle $((x + 62)),134 $((x + 62 + 24)),134 pop graphic-context"
        txt $((x + 62)) 143 26 white middle "$kBold" "$((i + 1))"
        txt $((x + 62)) 196 18 "$INK" middle "$kBold" "${steps[$i]}"
        txt $((x + 62)) 218 13 "$SOFT" middle "$kFont" "${en[$i]}"
        [ $i = 3 ] || arrow $((x + 128)) 166 $((x + 144)) 166
    done
}

# ---- The slides of the about video ----

# The program's mark: a tint square with a white speech bubble of waveform bars.
logo() { # X Y SIZE
    local x=$1 y=$2 s=$3 i
    gpanel "$x" "$y" "$s" "$s" $((s / 4)) '#33BCFF' "$DEEP"
    mvg "push graphic-context fill white stroke none roundrectangle $((x + s / 6)),$((y + s / 5)) $((x + s * 5 / 6)),$((y + s * 2 / 3)) $((s / 8)),$((s / 8)) polygon $((x + s / 3)),$((y + s * 2 / 3 - 1)) $((x + s / 2)),$((y + s * 2 / 3 - 1)) $((x + s / 4)),$((y + s * 5 / 6)) pop graphic-context"
    local heights=(3 6 9 5 8 4)
    for i in 0 1 2 3 4 5; do
        local bh=$((heights[i] * s / 30))
        rrect $((x + s / 4 + i * s / 12)) $((y + s * 21 / 48 - bh / 2)) $((s / 24 + 1)) "$bh" 1 "$DEEP"
    done
}

slide_title() {
    heading=("关于" "About")
    logo 180 92 110
    txt 316 148 44 "$DEEP" start "$kBold" "Repeta"
    txt 318 184 22 "$INK" start "$kBold" "朗鹦口语训练软件"
    txt 318 210 14 "$SOFT" start "$kFont" "A trainer for spoken English"
}

slide_steps() {
    heading=("关于" "What it does")
    local cn=(收听 跟读 录音 比较) en=(Listen Repeat Record Compare) i x
    for i in 0 1 2 3; do
        x=$((48 + i * 142))
        gpanel "$x" 104 116 116 58 "$TOP" "$BOTTOM" "$EDGE"
        txt $((x + 58)) 160 26 "$DEEP" middle "$kBold" "${cn[$i]}"
        txt $((x + 58)) 184 14 "$SOFT" middle "$kFont" "${en[$i]}"
        [ $i = 3 ] || arrow $((x + 120)) 162 $((x + 136)) 162
    done
    txt 320 252 13 "$SOFT" middle "$kFont" "一次一句 One sentence at a time"
}

slide_version() {
    heading=("关于" "Version")
    logo 200 100 90
    txt 310 150 20 "$SOFT" start "$kBold" "版本 Version"
    txt 308 214 72 "$DEEP" start "$kBold" "0.1"
}

slide_libraries() {
    heading=("关于" "Built with")
    local names=(Qt FFmpeg PortAudio LAME) roles=("图形界面" "音视频解码" "麦克风录音" "MP3 编码") i x
    for i in 0 1 2 3; do
        x=$((36 + i * 146))
        gpanel "$x" 96 130 142 10 "$TOP" "$BOTTOM" "$EDGE"
        gpanel $((x + 10)) 106 110 60 8 '#33BCFF' "$DEEP"
        txt $((x + 65)) 145 "$(fitsize "$kBold" 24 96 "${names[$i]}")" white middle "$kBold" "${names[$i]}"
        txt $((x + 65)) 200 16 "$INK" middle "$kBold" "${roles[$i]}"
    done
}

slide_thanks() {
    heading=("谢谢" "Thank you")
    logo 265 82 110
    txt 320 234 26 "$DEEP" middle "$kBold" "谢谢！Thank you!"
}

# ---- Putting a slide together ----

# render_slide NAME INDEX COUNT ENGLISH CHINESE OUT.png
render_slide() {
    local name=$1 index=$2 count=$3 english=$4 chinese=$5 png=$6 size
    new_drawing
    heading=("" "")
    "slide_$name"
    # Heading: the mark, the Chinese title, the English one, the step.
    logo 16 12 40
    txt 66 34 22 "$DEEP" start "$kBold" "${heading[0]}"
    txt 68 54 13 "$SOFT" start "$kFont" "${heading[1]}"
    rrect 566 20 58 24 12 white "$EDGE"
    txt 595 37 13 "$DEEP" middle "$kBold" "$((index + 1)) / $count"
    mvg "push graphic-context stroke '$EDGE' stroke-width 1 line 16,64.5 624,64.5 pop graphic-context"
    # Caption.
    rrect 16 276 608 72 10 'rgba(255,255,255,0.92)' "$EDGE"
    size=$(fitsize "$kFont" 15 580 "$english")
    txt 320 299 "$size" "$SOFT" middle "$kFont" "$english"
    size=$(fitsize "$kBold" 22 580 "$chinese")
    txt 320 333 "$size" "$INK" middle "$kBold" "$chinese"
    flush
    convert "${IM[@]}" -alpha off -depth 8 "$png"
}
