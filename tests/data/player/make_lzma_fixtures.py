#!/usr/bin/env python3
"""Writes the ZWS (LZMA) fixtures of this folder with Python's own lzma module."""
import lzma
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).parent


def zws(version, file_length, body):
    # An .lzma ("alone") stream is 5 property bytes, an 8-byte size and the
    # data; ZWS keeps the properties and the data behind the data's size.
    alone = lzma.compress(body, format=lzma.FORMAT_ALONE)
    props, data = alone[:5], alone[13:]
    header = b"ZWS" + bytes([version]) + struct.pack("<II", file_length, len(data))
    return header + props + data


showcase = (HERE / "showcase.swf").read_bytes()
assert showcase[:3] == b"CWS"
body = zlib.decompress(showcase[8:])
(HERE / "showcase-lzma.swf").write_bytes(zws(13, len(body) + 8, body))

# An empty stage, 12 fps, one frame; then zeros, which read as End tags.
zeros = bytes.fromhex("000C000100") + bytes(16 << 20)
(HERE / "zws-bomb-declares-40-bytes.swf").write_bytes(zws(13, 40, zeros))
