#!/bin/sh
# Draws the program's pictures with ImageMagick: the window icon (a motor with its
# protection relay), the setup dialog's picture (controller and serial cable), the
# protection frame's picture (motor under a shield) and the password dialog's padlock.
# Run from anywhere; writes into resources/images beside this script.
set -eu
out="$(cd "$(dirname "$0")" && pwd)/images"
mkdir -p "$out"

# Window icon, 64 x 64: motor body with fins and shaft, a relay badge in the corner.
convert -size 64x64 xc:none \
  -fill '#2f5f8f' -stroke '#1b3550' -strokewidth 2 -draw 'roundrectangle 6,16 44,50 6,6' \
  -stroke '#9fc4e8' -strokewidth 2 \
  -draw 'line 14,20 14,46' -draw 'line 22,20 22,46' -draw 'line 30,20 30,46' -draw 'line 38,20 38,46' \
  -stroke '#1b3550' -fill '#c8c8c8' -strokewidth 1 -draw 'rectangle 44,30 58,36' \
  -fill '#3a3a3a' -draw 'rectangle 12,50 38,56' \
  -fill '#b4dc00' -stroke '#3a5a00' -strokewidth 2 -draw 'circle 50,14 50,4' \
  -stroke '#3a5a00' -strokewidth 3 -draw 'line 45,14 55,14' \
  -depth 8 "$out/app-icon.png"

# Setup dialog picture, 120 x 170: the controller with its display and keys, a serial
# cable running down to a nine-pin plug.
convert -size 120x170 gradient:'#e8f6ff'-'#9fd0ee' \
  -fill '#f4f4f4' -stroke '#505050' -strokewidth 2 -draw 'roundrectangle 22,14 98,92 6,6' \
  -fill '#1f3f1f' -stroke '#303030' -strokewidth 1 -draw 'rectangle 32,24 88,46' \
  -fill '#7dff7d' -stroke none -draw 'rectangle 36,30 50,40' -draw 'rectangle 54,30 68,40' \
  -draw 'rectangle 72,30 84,40' \
  -fill '#ff3030' -draw 'circle 38,60 38,55' \
  -fill '#00cc33' -draw 'circle 56,60 56,55' \
  -fill '#d0d0d0' -stroke '#505050' -draw 'rectangle 70,55 86,65' -draw 'rectangle 70,70 86,80' \
  -fill none -stroke '#303030' -strokewidth 4 -draw 'bezier 60,92 60,120 30,110 40,140' \
  -fill '#8090a0' -stroke '#303030' -strokewidth 2 -draw 'polygon 22,140 58,140 54,158 26,158' \
  -fill '#303030' -stroke none \
  -draw 'circle 30,146 30,144' -draw 'circle 36,146 36,144' -draw 'circle 42,146 42,144' \
  -draw 'circle 48,146 48,144' -draw 'circle 33,152 33,150' -draw 'circle 39,152 39,150' \
  -draw 'circle 45,152 45,150' \
  -depth 8 "$out/setup-picture.png"

# Protection frame picture, 160 x 200: a three-phase motor on its base under a shield.
convert -size 160x200 gradient:'#f0fbff'-'#b8e4f8' \
  -fill '#d9edf7' -stroke '#2f5f8f' -strokewidth 3 \
  -draw 'path "M 80,12 L 140,34 L 136,96 Q 128,150 80,188 Q 32,150 24,96 L 20,34 Z"' \
  -fill '#2f5f8f' -stroke '#1b3550' -strokewidth 2 -draw 'roundrectangle 40,82 108,132 8,8' \
  -stroke '#9fc4e8' -strokewidth 2 \
  -draw 'line 50,88 50,126' -draw 'line 60,88 60,126' -draw 'line 70,88 70,126' \
  -draw 'line 80,88 80,126' -draw 'line 90,88 90,126' -draw 'line 100,88 100,126' \
  -fill '#c8c8c8' -stroke '#1b3550' -strokewidth 1 -draw 'rectangle 108,102 128,110' \
  -fill '#3a3a3a' -draw 'rectangle 46,132 102,140' \
  -fill '#ffd200' -stroke '#7a6000' -strokewidth 1 \
  -draw 'polygon 84,36 66,66 80,66 72,80 96,50 82,50 92,36' \
  -fill none -stroke '#d01010' -strokewidth 2 -draw 'line 56,58 56,72' \
  -draw 'line 104,58 104,72' -draw 'line 50,65 62,65' -draw 'line 98,65 110,65' \
  -depth 8 "$out/protection-picture.png"

# Password dialog icon, 48 x 48: a padlock.
convert -size 48x48 xc:none \
  -fill none -stroke '#707070' -strokewidth 5 -draw 'arc 12,4 36,30 180,360' \
  -draw 'line 12,17 12,22' -draw 'line 36,17 36,22' \
  -fill '#e0b000' -stroke '#7a5a00' -strokewidth 2 -draw 'roundrectangle 6,21 42,44 4,4' \
  -fill '#3a2a00' -stroke none -draw 'circle 24,30 24,27' -draw 'rectangle 22,30 26,38' \
  -depth 8 "$out/password.png"
