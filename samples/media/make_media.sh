#!/bin/sh
# Makes the media the sample projects embed (ImageMagick 6, sox, lame).
# The .sw0 files carry copies of these, so this only needs running to change them.
set -e
cd "$(dirname "$0")"
# A photo-like JPEG: a sunset gradient with a sun and a hill.
convert -size 120x60 gradient:'#ffcc66'-'#cc3366' \
  -fill '#fff3b0' -draw 'circle 84,22 84,10' \
  -fill '#335533' -draw 'ellipse 40,70 70,30 0,360' \
  -quality 85 -strip photo.jpg
# A 24-bit BMP logo.
convert -size 64x40 xc:'#2050a0' -fill '#ffffff' -draw 'roundrectangle 6,6 57,33 8,8' \
  -fill '#2050a0' -draw 'polygon 20,12 46,20 20,28' -type TrueColor BMP3:logo.bmp
# A small tile for bitmap fills (JPEG).
convert -size 24x24 pattern:checkerboard -fill '#e0a030' -opaque black \
  -type TrueColor -quality 90 -strip tile.jpg
# A button strip of three 50 x 40 states: up, down, over (24-bit BMP).
convert -size 50x40 xc:'#3070c0' -fill white -draw 'roundrectangle 4,4 45,35 6,6' \
  -fill '#3070c0' -draw 'polygon 18,12 34,20 18,28' state1.png
convert -size 50x40 xc:'#20508a' -fill '#d0d0d0' -draw 'roundrectangle 5,5 46,36 6,6' \
  -fill '#20508a' -draw 'polygon 19,13 35,21 19,29' state2.png
convert -size 50x40 xc:'#40a0e0' -fill '#fff6a0' -draw 'roundrectangle 4,4 45,35 6,6' \
  -fill '#40a0e0' -draw 'polygon 18,12 34,20 18,28' state3.png
convert state1.png state2.png state3.png +append -type TrueColor BMP3:button.bmp
rm state1.png state2.png state3.png
# A short click for the button's roll-over (16-bit mono WAV).
sox -n -r 22050 -b 16 -c 1 click.wav synth 0.08 sine 1200 fade 0 0.08 0.06
# A two-second background tune (MP3, 32 kbit/s mono).
sox -n -r 22050 -b 16 -c 1 tune.wav synth 0.5 pluck C4 : synth 0.5 pluck E4 : \
  synth 0.5 pluck G4 : synth 0.5 pluck C5 gain -6
lame --quiet -b 32 -m m tune.wav tune.mp3
rm tune.wav
