#!/bin/sh
# Makes the sound fixtures of tests/player/sound_decoder_test.cpp (sox 14.4,
# ffmpeg 5.1, python3). The tests read the committed files; this only needs
# running to change them.
set -e
cd "$(dirname "$0")"

# PCM wave files as the movie writer takes them, and their samples as sox
# reads them (16-bit signed, little-endian; 8-bit data is widened).
sox -n -r 5512 -b 8 -e unsigned -c 1 pcm-u8-mono-5k.wav synth 0.03 sine 300 gain -2
sox -n -r 11025 -b 16 -c 2 pcm-s16-stereo-11k.wav synth 0.03 sine 440 sine 660 gain -2
sox -n -r 22050 -b 8 -e unsigned -c 2 pcm-u8-stereo-22k.wav synth 0.03 sine 500 sine 700 gain -2
sox -n -r 44100 -b 16 -c 1 pcm-s16-mono-44k.wav synth 0.03 sine 1000 gain -2
for f in pcm-*.wav; do sox "$f" -t raw -e signed -b 16 -L "${f%.wav}.s16"; done

# ADPCM as SWF holds it: ffmpeg's encoder makes 4-bit packets of 4096
# samples a channel, each with its own code size. An FLV file carries them;
# the first packet's data (after the one-byte FLV audio header) is the
# fixture, and ffmpeg's decoder gives its samples.
sox -n -r 22050 -b 16 -c 1 tone.wav synth 0.2 sine 440 gain -3
ffmpeg -loglevel error -y -i tone.wav -c:a adpcm_swf tone.flv
python3 - <<'PY'
import struct
d = open("tone.flv", "rb").read()
p = struct.unpack(">I", d[5:9])[0] + 4
while d[p] != 8:
    p += 11 + int.from_bytes(d[p + 1:p + 4], "big") + 4
n = int.from_bytes(d[p + 1:p + 4], "big")
open("adpcm-4bit-mono-22k-tone.adpcm", "wb").write(d[p + 12:p + 11 + n])
PY
ffmpeg -loglevel error -y -i tone.flv -frames:a 1 -f s16le adpcm-4bit-mono-22k-tone.s16
rm tone.wav tone.flv

# Every bit string is ADPCM data, so the other code sizes (and stereo) are
# seeded random bits after the code size: 4296 samples a channel, past the
# first packet. FLV wraps each as one packet for ffmpeg's decoder.
python3 - <<'PY'
import random, struct
def flv(payload, stereo):
    head = b"FLV\x01\x04\x00\x00\x00\x09" + b"\x00" * 4
    body = bytes([0x10 | 1 << 2 | 1 << 1 | stereo]) + payload  # ADPCM, 11 kHz, 16-bit
    tag = bytes([8]) + len(body).to_bytes(3, "big") + b"\x00" * 7 + body
    return head + tag + struct.pack(">I", len(tag))
for bits, stereo in ((2, 0), (3, 1), (4, 1), (5, 0)):
    channels = stereo + 1
    total = 2 + (22 + 4095 * bits) * channels + (22 + 199 * bits) * channels
    rng = random.Random(bits * 10 + stereo)
    data = bytearray(rng.getrandbits(8) for _ in range((total + 7) // 8))
    data[0] = (data[0] & 0x3F) | (bits - 2) << 6
    # Zero padding bits, so no decoder reads a sample out of them.
    if total % 8:
        data[-1] &= 0xFF << (8 - total % 8) & 0xFF
    name = "adpcm-%dbit-%s" % (bits, "stereo" if stereo else "mono")
    open(name + ".adpcm", "wb").write(data)
    open(name + ".flv", "wb").write(flv(bytes(data), stereo))
PY
for f in adpcm-*bit-mono.flv adpcm-*bit-stereo.flv; do
  ffmpeg -loglevel error -y -i "$f" -f s16le "${f%.flv}.s16"
  rm "$f"
done
