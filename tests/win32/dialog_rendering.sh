#!/bin/sh
# Checks that each of the four dialogs shows its Chinese caption and labels,
# from the picture qelhost kept of it and the listing beside it
# (qelhost --pictures):
#  1. read back from the windows, the caption and every text of the dialog's
#     definition (res/dialogs.rc) are as written there — no question marks,
#     nothing lost in a conversion;
#  2. on the screen, the caption and every control text with Chinese in it
#     look like that text drawn in a Chinese font (WenQuanYi Micro Hei, what
#     宋体 stands for here) and not like it drawn in a font without Chinese
#     glyphs (DejaVu Sans), as boxes, or as question marks. Both sides are
#     cut to their ink, scaled to one size and compared by normalised
#     cross-correlation.
# A PNG of each picture is left beside it.
#
# Usage: tests/win32/dialog_rendering.sh PICTURE_DIR
set -eu
dir=$1
IM=convert-im6.q16
cjk_font=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei')
latin_font=$(fc-match -f '%{file}' 'DejaVu Sans')
. "$(dirname "$0")/../support/checks.sh"

if [ -n "$(fc-list ':lang=zh' file | grep -F "$latin_font" || true)" ]; then
  fail "$latin_font has Chinese glyphs: it cannot stand for a font without them"
fi

# ink IN OUT: the text's ink, dark on white, cut to its bounding box. Long
# straight lines (a neighbour's border, a group box's edge) are no text and
# go first.
ink() {
  $IM "$1" -colorspace Gray -normalize "$work/gray.png"
  light=$($IM "$work/gray.png" -threshold 50% -format '%[fx:mean>0.5?1:0]' info:)
  negate=""
  [ "$light" = 0 ] || negate="-negate"
  $IM "$work/gray.png" $negate \( +clone -morphology Open rectangle:18x1 \) -compose MinusSrc -composite \
      \( +clone -morphology Open rectangle:1x16 \) -composite -negate -fuzz 25% -trim +repage "$2"
}

# similarity INK FONT SIZE TEXT: how much TEXT drawn in FONT looks like INK
# ($weight: the stroke that makes the drawing bold, for a title bar).
weight=0
similarity() {
  size=$($IM "$1" -format '%wx%h' info:)
  value=$($IM "$1" -blur 0x1 \( -background white -fill black -stroke black -strokewidth "$weight" \
      -font "$2" -pointsize "$3" label:"$4" \
      -colorspace Gray -normalize -fuzz 25% -trim +repage -resize "$size!" -blur 0x1 \) \
      -metric NCC -compare -format '%[distortion]' info: 2>/dev/null || echo 0)
  case "$value" in *[0-9]*) echo "$value" ;; *) echo 0 ;; esac
}

# looks_chinese INK TEXT: true when INK is TEXT in Chinese glyphs, by a clear
# margin over the same text without them, as boxes and as question marks.
looks_chinese() {
  boxes=$(printf '%s' "$2" | LC_ALL=C.UTF-8 sed 's/[^ -~]/□/g')
  marks=$(printf '%s' "$2" | LC_ALL=C.UTF-8 sed 's/[^ -~]/?/g')
  good=$(printf '%s\n%s\n' "$(similarity "$1" "$cjk_font" 12 "$2")" "$(similarity "$1" "$cjk_font" 13 "$2")" | sort -g | tail -n 1)
  bad=$(printf '%s\n%s\n%s\n' "$(similarity "$1" "$latin_font" 12 "$2")" "$(similarity "$1" "$latin_font" 12 "$boxes")" \
      "$(similarity "$1" "$latin_font" 12 "$marks")" | sort -g | tail -n 1)
  scores="chinese $good, without $bad"
  awk -v good="$good" -v bad="$bad" 'BEGIN { exit !(good >= 0.6 && good - bad >= 0.15) }'
}

has_chinese() {
  printf '%s' "$1" | LC_ALL=C grep -q '[^ -~]'
}

# The judge must be able to say no: the caption of 1002 drawn as boxes and as
# question marks is not taken for Chinese.
for fake in "CASS□□□□" "CASS????"; do
  $IM -background white -fill black -font "$latin_font" -pointsize 12 label:"$fake" "$work/fake.png"
  ink "$work/fake.png" "$work/fake-ink.png"
  if looks_chinese "$work/fake-ink.png" "CASS数据转换"; then
    fail "the rendering check takes \"$fake\" for \"CASS数据转换\" ($scores)"
  fi
done

for id in 1002 1003 2004 4052; do
  bmp=$dir/dialog-$id.bmp
  listing=$dir/dialog-$id.txt
  if [ ! -f "$bmp" ] || [ ! -f "$listing" ]; then
    fail "no picture of dialog $id in $dir"
    continue
  fi
  $IM "$bmp" "$dir/dialog-$id.png"

  # 1. The texts as the windows give them back.
  awk -v id=$id '$1 == id && $2 == "DIALOGEX" { on = 1; next } on && /^END/ { exit } on' res/dialogs.rc >"$work/rc"
  caption=$(sed -n 's/^CAPTION "\(.*\)"$/\1/p' "$work/rc")
  shown=$(awk -F '\t' '$1 == "caption" { print $6 }' "$listing")
  [ "$shown" = "$caption" ] || fail "dialog $id shows the caption \"$shown\", not \"$caption\""
  sed -n 's/^ *[A-Z]* *"\([^"][^"]*\)",.*/\1/p' "$work/rc" | sort >"$work/expected"
  awk -F '\t' '$1 == "control" { print $10 }' "$listing" | sort >"$work/shown"
  missing=$(comm -23 "$work/expected" "$work/shown" | tr '\n' '|')
  [ -z "$missing" ] || fail "dialog $id does not show the texts |$missing"

  # 2. The texts as the screen shows them.
  checked=0
  tab=$(printf '\t')
  while IFS="$tab" read -r what a b c d e f g i j; do
    weight=0
    if [ "$what" = caption ]; then
      # The title bar without its close box; its font is bold.
      x=$a y=$b w=$((c - d - 6)) h=$d text=$e weight=0.4
    else
      # Where the control draws its text: a label from its left edge, a box's
      # text beside the box, a button's in its middle inside the frame and
      # the focus rectangle; as wide as the text measures in the control's
      # font, with a little room.
      kind=$b x=$c y=$d w=$e h=$f text=$j
      text_w=$((g + 4))
      case "$kind" in
        static) ;;
        check | radio) x=$((x + 14)) ;;
        push) text_w=$((g + 2)) x=$((x + (w - g) / 2 - 1)) y=$((y + 5)) h=$((h - 10)) ;;
        *) continue ;;
      esac
      [ "$text_w" -ge "$w" ] || w=$text_w
    fi
    has_chinese "$text" || continue
    $IM "$bmp" -crop "${w}x${h}+${x}+${y}" +repage "$work/crop.png"
    ink "$work/crop.png" "$work/ink.png"
    if looks_chinese "$work/ink.png" "$text"; then
      checked=$((checked + 1))
    else
      fail "dialog $id: \"$text\" does not look like Chinese text on the screen ($scores)"
    fi
  done <"$listing"
  echo "-- dialog $id: caption and $(wc -l <"$work/expected") texts read back; $checked Chinese texts look right on the screen"
done

if [ $failures -ne 0 ]; then
  echo "$failures rendering check(s) failed"
  exit 1
fi
