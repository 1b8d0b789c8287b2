#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/.

Real files come from a built program folder (the asset generator's pictures and effects, and
a ranking file written by rv_sim); the rest are small edge cases made here. Run after a build:
    fuzz/make_seeds.py build/dist
The seeds are committed; run this only to remake them.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def ranking_seeds(dist):
    with tempfile.TemporaryDirectory() as tmp:
        dat = os.path.join(tmp, "rvdat.dat")
        results = [(2, 9, 159562, "24", 15000), (0, 1, 5328, "5", 2012), (1, 3, 53280, "10", 6000),
                   (1, 3, 53280, "12.5", 7000), (2, 9, 99, "40", 40000)]
        for mode, rounds, score, moves, time in results:
            subprocess.run([os.path.join(dist, "rv_sim"), "rank", dat, str(mode), str(rounds),
                            str(score), moves, str(time)], check=True, stdout=subprocess.DEVNULL)
        real = open(dat, "rb").read()
    put("ranking_file_fuzzer", "played.dat", real)
    put("ranking_file_fuzzer", "played_with_tail.dat", real + b"kept tail\x00\xff")
    put("ranking_file_fuzzer", "short.dat", real[:37])
    put("ranking_file_fuzzer", "empty.dat", b"")
    # Values no game writes: negative, the largest score, NaN and infinite moves.
    hostile = bytearray(real)
    struct.pack_into("<i", hostile, 0, -1)
    struct.pack_into("<i", hostile, 4, 0x7FFFFFFF)
    struct.pack_into("<d", hostile, 540, float("nan"))
    struct.pack_into("<d", hostile, 548, float("inf"))
    struct.pack_into("<d", hostile, 556, -1e300)
    struct.pack_into("<i", hostile, 1620, -2147483648)
    put("ranking_file_fuzzer", "hostile.dat", bytes(hostile))


def config_seeds():
    for name, data in [("normal.cfg", b"\x01\x00"), ("empty.cfg", b""), ("one_byte.cfg", b"\x03"),
                       ("negative.cfg", b"\xff\xff"), ("longer.cfg", b"\x02\x00extra bytes"),
                       ("lowest.cfg", b"\x00\x80")]:
        put("config_file_fuzzer", name, data)


def bmp(width, height, bits, pixels, palette=b"", colours_used=0, header_size=40):
    header = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, bits, 0, len(pixels),
                         2835, 2835, colours_used, 0)
    header += b"\x00" * (header_size - 40)
    offset = 14 + len(header) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + palette + pixels


def bmp_seeds(dist):
    put("bmp_picture_fuzzer", "pic10.dat", open(os.path.join(dist, "Picture", "pic10.dat"), "rb").read())
    # 3 x 2, 24 bits, rows padded to 12 bytes, top-down.
    put("bmp_picture_fuzzer", "rgb24_topdown.bmp",
        bmp(3, -2, 24, bytes(range(9)) + b"\0\0\0" + bytes(range(9, 18)) + b"\0\0\0"))
    put("bmp_picture_fuzzer", "rgb32.bmp", bmp(2, 2, 32, bytes(range(16))))
    # 8 bits, two colour entries, one index beyond them.
    put("bmp_picture_fuzzer", "pal8.bmp",
        bmp(3, 2, 8, b"\x00\x01\x05\x00\x01\x00\x00\x00", palette=b"\x10\x20\x30\x00\xff\xee\xdd\x00",
            colours_used=2))
    put("bmp_picture_fuzzer", "v5_header.bmp", bmp(1, 1, 24, b"\x01\x02\x03\x00", header_size=124))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, depth, colour, rows, extra=b"", interlace=0):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def png_seeds(dist):
    for name in ("pic3.dat", "pic4.dat"):
        put("png_module_fuzzer", name, open(os.path.join(dist, "Picture", name), "rb").read())
    put("png_module_fuzzer", "grey1.png", png(3, 2, 1, 0, b"\x00\xa0\x00\x40"))
    put("png_module_fuzzer", "palette_trns.png",
        png(2, 2, 8, 3, b"\x00\x00\x01\x00\x01\x00",
            extra=chunk(b"PLTE", b"\xff\x00\x00\x00\xff\x00") + chunk(b"tRNS", b"\x80")))
    put("png_module_fuzzer", "grey_alpha.png", png(2, 1, 8, 4, b"\x00\x10\x20\x30\x40"))
    put("png_module_fuzzer", "rgba16.png", png(1, 1, 16, 6, b"\x00" + bytes(range(8))))
    put("png_module_fuzzer", "interlaced.png",
        png(3, 3, 8, 2, b"".join(b"\x00" + bytes(range(9)) for _ in range(3)) + b"\x00" * 12,
            interlace=1))


def wav_seeds(dist):
    real = open(os.path.join(dist, "Wave", "wave1.dat"), "rb").read()
    put("wav_effect_fuzzer", "wave1_cut.dat", real[:512])

    def wav(chunks):
        body = b"WAVE" + b"".join(k + struct.pack("<I", len(d)) + d + (b"\0" if len(d) % 2 else b"")
                                  for k, d in chunks)
        return b"RIFF" + struct.pack("<I", len(body)) + body

    fmt8 = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
    put("wav_effect_fuzzer", "mono8.wav", wav([(b"fmt ", fmt8), (b"data", b"\x80" * 8)]))
    put("wav_effect_fuzzer", "list_first_odd.wav",
        wav([(b"LIST", b"INFOx"), (b"fmt ", fmt8), (b"data", b"\x80" * 3)]))
    put("wav_effect_fuzzer", "data_before_fmt.wav", wav([(b"data", b"\x80" * 4), (b"fmt ", fmt8)]))
    put("wav_effect_fuzzer", "mp3_like.dat", b"ID3\x04\x00\x00\x00\x00\x00\x00")


def sim_seeds():
    empty = "." * 40
    board = lambda floor: "board\n" + (empty + "\n") * 28 + floor + "\n"
    put("sim_input_fuzzer", "cpu_three.txt",
        ("mode 1\nmove_round 4\n" + board("." * 30 + "222" + "." * 7)).encode())
    put("sim_input_fuzzer", "first_block.txt",
        ("chara_last 0 28\n# the player's first block\n\n" + board("1" + "." * 39)).encode())
    put("sim_input_fuzzer", "all_keys.txt",
        ("mode 2\r\nmove_round 7\nfirst_mover 2\nchara -1 28\nchara_last 3 28\nenemy 4 28\n" +
         board("2.22" + "." * 32 + "1111")).encode())
    put("sim_input_fuzzer", "score_rounds.txt", b"mode 2\n40000 W 6\n30000 L 8\n80000 W 10\n")


def main():
    dist = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "dist")
    shutil.rmtree(os.path.join(HERE, "corpus"), ignore_errors=True)
    ranking_seeds(dist)
    config_seeds()
    bmp_seeds(dist)
    png_seeds(dist)
    wav_seeds(dist)
    sim_seeds()


if __name__ == "__main__":
    main()
