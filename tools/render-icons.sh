#!/usr/bin/env bash
# Renders the icon and danger-picture sources (SVG) into the pictures that the
# program embeds. The build does not run this: run it after editing a source
# and commit the rendered files together with the sources.
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert and the font
# "WenQuanYi Micro Hei" (fonts-wqy-microhei).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
icons="$here/resources/icons"
pictures="$here/resources/pictures"
icon_size=64
picture_width=360
picture_height=340

for svg in "$icons"/src/*.svg; do
  name="$(basename "$svg" .svg)"
  rsvg-convert --width "$icon_size" --height "$icon_size" --format png \
    --output "$icons/$name.png" "$svg"
done

# The program's icon for the desktop, beside its source.
app_icon="$here/packaging/icons/org.resistancetester.ResistanceTester"
rsvg-convert --width 256 --height 256 --format png --output "$app_icon.png" "$app_icon.svg"

# JPEG has no transparency: the pictures are drawn edge to edge.
for svg in "$pictures"/src/*.svg; do
  name="$(basename "$svg" .svg)"
  tmp="$(mktemp --suffix=.png)"
  rsvg-convert --width "$picture_width" --height "$picture_height" --format png \
    --output "$tmp" "$svg"
  convert "$tmp" -background white -flatten -strip -quality 92 "$pictures/$name.jpg"
  rm -f "$tmp"
done
