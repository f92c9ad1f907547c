#!/usr/bin/env bash
# Regenerates every picture under resources/pictures/ (icons and title
# animations with their copies for scales 1.5 and 2, tiles, program icon) from
# the scripts beside this one, then checks sizes and frame counts.
# Deterministic: re-running reproduces the same files.
# Needs python3 and ImageMagick's convert/identify with the DejaVu fonts.
# Usage: tools/make_artwork.sh [--preview DIR]   (DIR gets enlarged contact sheets)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$here/../resources/pictures"
preview=""
if [ "${1:-}" = "--preview" ]; then
  preview="${2:?--preview needs a folder}"
fi

export PYTHONDONTWRITEBYTECODE=1
export ARTWORK_OUT="$out"
mkdir -p "$out"

python3 "$here/artwork_icons.py"
python3 "$here/artwork_tiles.py"
python3 "$here/artwork_anims.py"
python3 "$here/artwork_appicon.py"
python3 "$here/artwork_message_icons.py"

# Every picture with its expected size and frame count (1 for stills).
check() {
  local file="$1" size="$2" frames="$3" got_size got_frames
  got_size="$(identify -format '%wx%h\n' "$out/$file" | head -n 1)"
  got_frames="$(identify -format '%p\n' "$out/$file" | wc -l)"
  if [ "$got_size" != "$size" ] || { [ "$frames" != "*" ] && [ "$got_frames" != "$frames" ]; }; then
    echo "make_artwork: $file is $got_size with $got_frames frame(s), expected $size" >&2
    exit 1
  fi
  if [ "$frames" = "*" ] && { [ "$got_frames" -lt 8 ] || [ "$got_frames" -gt 24 ]; }; then
    echo "make_artwork: $file has $got_frames frames, expected 8 to 24" >&2
    exit 1
  fi
}
# Button pictures and animations also come at 1.5 and 2 times their size ("@1.5x", "@2x"); an
# animation's copies have its frame count.
scaled() {
  local w=${1%x*} h=${1#*x}
  echo "$(( (w * $2 + 5) / 10 ))x$(( (h * $2 + 5) / 10 ))"
}
check_all() {
  local stem="$1" ext="$2" size="$3" frames="$4"
  check "$stem.$ext" "$size" "$frames"
  [ "$frames" = "*" ] && frames="$(identify -format '%p\n' "$out/$stem.$ext" | wc -l)"
  check "$stem@1.5x.$ext" "$(scaled "$size" 15)" "$frames"
  check "$stem@2x.$ext" "$(scaled "$size" 20)" "$frames"
}
for f in help fade_on fade_off email quit sound_on sound_off lobby add_category new_add new_save new_cancel \
         delete_category make_puzzle cancel_puzzle view_puzzle view_solution print help_topics return continue; do
  check_all "$f" png 32x32 1
done
for f in add_word_16 edit_word_16 delete_word_16; do check_all "$f" png 16x16 1; done
check_all title_anim_0 gif 112x80 "*"
for i in 1 2 3 4 5 6 7 8; do check_all "title_anim_$i" gif 40x25 "*"; done
check title_tile.png 64x64 1
check notice_tile.gif 127x127 1
check notice_tile@2x.gif 254x254 1
check lobby_tile.png 128x128 1
check lobby_tile@2x.png 256x256 1
check lobby_strip_tile.png 57x57 1
check lobby_strip_tile@2x.png 114x114 1
check puzzle_tile.png 48x48 1
check puzzle_tile@2x.png 96x96 1
check puzzle_banner_tile.png 57x57 1
check puzzle_banner_tile@2x.png 114x114 1
check help_tile.jpg 64x64 1
check brivamo_64.png 64x64 1
check brivamo_128.png 128x128 1

if [ -n "$preview" ]; then
  mkdir -p "$preview"
  montage -font DejaVu-Sans -background '#c8d0d8' -filter point -resize 400% -geometry +6+6 -tile 8x \
    "$out"/*.png "$preview/pictures.png"
  for gif in "$out"/title_anim_*.gif; do
    name="$(basename "$gif" .gif)"
    convert "$gif" -coalesce -filter point -resize 400% miff:- |
      montage - -background '#888888' -geometry +2+2 -tile 8x "$preview/$name.png"
  done
  for tile in "$out"/*_tile.*; do
    name="$(basename "${tile%.*}")"
    convert "$tile" -write mpr:t +delete \
      -size "$(identify -format '%[fx:w*3]x%[fx:h*3]' "$tile")" tile:mpr:t "$preview/${name}_3x3.png"
  done
  echo "previews in $preview"
fi
echo "pictures in $(cd "$out" && pwd)"
