#!/usr/bin/env bash
# Regenerates the banner and the application icon in ui/assets. Needs ImageMagick and
# fonts-wqy-microhei; the results are committed, so building never runs this.
set -euo pipefail
cd "$(dirname "$0")/../ui/assets"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

# 270 x 58 baseline colour JPEG: a night-blue band with the tool's name and a wave of light.
convert -size 270x58 gradient:'#000529-#0a3a7a' \
    \( -size 270x58 xc:none -stroke '#5d95ea' -strokewidth 1 -fill none \
       -draw "path 'M 0,44 C 60,30 120,58 180,40 S 250,30 270,36'" \
       -draw "path 'M 0,50 C 70,38 130,62 190,46 S 255,38 270,42'" \) -composite \
    -font "$font" -pointsize 22 -fill '#0088ff' -gravity west -annotate +14-4 '禾渡文件传送' \
    -font "$font" -pointsize 10 -fill '#c06000' -gravity west -annotate +16+17 'HEDU FILE TRANSFER' \
    -strip -interlace none -sampling-factor 2x2 -quality 92 -type TrueColor banner.jpg

# The icon: a white 渡 on button blue with a dark rim, in four sizes.
convert -size 128x128 xc:none -fill '#000529' -draw 'roundrectangle 4,4 123,123 22,22' \
    -fill '#5d95ea' -draw 'roundrectangle 12,12 115,115 16,16' \
    -font "$font" -pointsize 84 -fill white -gravity center -annotate +0+2 '渡' -depth 8 icon-128.png
for size in 16 32 48; do
    convert icon-128.png -resize ${size}x${size} -depth 8 icon-$size.png
done
