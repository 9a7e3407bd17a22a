#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz harnesses (fuzz/corpus/<harness>/).

The seeds are committed; run this again only to change them. Images are made with
ImageMagick's convert. Maps are written as their uncompressed text (the map-file
harness compresses input that is not a zlib stream) and one as a whole file.
"""
import os
import shutil
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")
ALPHABET = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz+/"


def encode_line(data: bytes) -> str:
    bits, count, out = 0, 0, []
    for b in data:
        bits = (bits << 8) | b
        count += 8
        while count >= 6:
            count -= 6
            out.append(ALPHABET[(bits >> count) & 63])
    if count:
        out.append(ALPHABET[(bits << (6 - count)) & 63])
    return "".join(out)


def map_text(width, height, chip, layers, pixel, cells, horz=(), vert=(), free=(),
             encoding="utf-8"):
    """layers: (name, type, source); pixel(x, y) -> layer index; cells(x, y) -> 0/1."""
    lines = ["KRV2_MAP", f"{len(layers)},{width},{height},{chip}"]
    for name, kind, source in layers:
        lines += [name, f"{kind}:{source}"]
    lines.append("KRV2_MAP LAYER")
    for y in range(height * chip):
        row = "".join("%04X" % pixel(x, y) for x in range(width * chip))
        lines.append(encode_line(row.encode()))
    lines.append("KRV2_MAP DRAW")
    for y in range(height):
        lines.append(encode_line("".join(str(cells(x, y)) for x in range(width)).encode()))
    for mark, doors in (("HORZ", horz), ("VERT", vert), ("FREE", free)):
        lines += [f"KRV2_MAP {mark} DOOR", str(len(doors))]
        lines += [",".join(str(v) for v in d) for d in doors]
    return ("\r\n".join(lines) + "\r\n").encode(encoding)


def write(harness, name, data):
    folder = os.path.join(CORPUS, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def maps():
    wall = ("壁", 2, "<0,0,16>wall.bmp")
    write("map_file", "smallest.txt",
          map_text(1, 1, 2, [("wall", 2, "0")], lambda x, y: 0, lambda x, y: 1))
    write("map_file", "empty.txt", map_text(0, 0, 0, [], None, None))
    room = map_text(
        4, 3, 8,
        [wall, ("Stone", 0, "stone.jpg"), ("Floor", 1, "floor.png"), ("Red", 1, "255")],
        lambda x, y: 0 if x < 8 or y < 8 else (1 + (x // 8 + y // 8) % 3),
        lambda x, y: 1 if x == 0 or y == 0 else 0,
        horz=[(1, 1, 0), (2, 1, 4294901760)], vert=[(2, 2, 0)],
        free=[(3, 3, 20, 20, 0), (0, 30, 31, 2, 4278190335), (5, 5, 10, 10, 0)])
    write("map_file", "room.txt", room)
    write("map_file", "room.qmx", zlib.compress(room))
    write("map_file", "shift_jis.txt",
          map_text(2, 2, 4, [("石畳", 0, "floor.png"), ("壁", 2, "16777215")],
                   lambda x, y: 1 if x < 4 else 0, lambda x, y: 1 if x == 0 else 0,
                   encoding="cp932"))
    write("map_file", "missing_texture.txt",
          map_text(2, 1, 4, [("lost", 0, "C:\\maps\\lost.png"), ("chip", 1, "<4,4,8>floor.png")],
                   lambda x, y: (x + y) % 2, lambda x, y: 0,
                   horz=[(0, 0, 0)], vert=[(1, 0, 255), (2, 0, 0)]))
    write("map_file", "edge_doors.txt",
          map_text(3, 3, 6, [("wall", 2, "0"), ("floor", 0, "floor.png")],
                   lambda x, y: 0 if (x // 6 + y // 6) % 2 else 1, lambda x, y: (x + y) % 2,
                   horz=[(0, 3, 0), (2, 0, 123456)], vert=[(3, 1, 0), (0, 2, 99)],
                   free=[(0, 0, 18, 18, 0), (18, 0, 0, 18, 16711680), (-5, -5, 40, 7, 0)]))


def images():
    def convert(args, harness, name):
        folder = os.path.join(CORPUS, harness)
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["convert"] + args + [os.path.join(folder, name)], check=True)

    grad = ["-size", "8x6", "gradient:red-blue"]
    for name, extra, fmt in [
        ("rgb.png", [], "PNG24"), ("rgba.png", ["-alpha", "set", "-channel", "A", "-evaluate",
                                                 "set", "50%", "+channel"], "PNG32"),
        ("palette.png", ["-colors", "4"], "PNG8"), ("grey.png", ["-colorspace", "Gray"], "PNG"),
        ("sixteen.png", ["-depth", "16"], "PNG48"),
        ("interlaced.png", ["-interlace", "PNG"], "PNG24")]:
        folder = os.path.join(CORPUS, "png_image")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["convert"] + grad + extra + [f"{fmt}:" + os.path.join(folder, name)],
                       check=True)
    for name, extra in [("baseline.jpg", []), ("progressive.jpg", ["-interlace", "JPEG"]),
                        ("grey.jpg", ["-colorspace", "Gray"]), ("small.jpg", ["-quality", "20"])]:
        convert(grad + extra, "jpeg_image", name)
    for name, fmt, extra in [("rgb24.bmp", "BMP3", ["-type", "TrueColor"]),
                             ("rgba32.bmp", "BMP", ["-alpha", "set", "-define",
                                                    "bmp:format=bmp4"]),
                             ("palette8.bmp", "BMP3", ["-colors", "16", "-type", "Palette"]),
                             ("bw.bmp", "BMP3", ["-monochrome"])]:
        folder = os.path.join(CORPUS, "bmp_image")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["convert"] + grad + extra + [f"{fmt}:" + os.path.join(folder, name)],
                       check=True)


def sets():
    os.makedirs(os.path.join(CORPUS, "layer_set"), exist_ok=True)
    for f in ("dungeon.txt", "outdoor.txt", "tavern.txt"):
        shutil.copy(os.path.join(ROOT, "Layersets", f), os.path.join(CORPUS, "layer_set", f))
    write("layer_set", "scratch.txt", "Floor\r\nfloor.png\r\nWall chip\r\n<0,0,16>wall.bmp\r\n"
                                      "Stone\r\nstone.jpg\r\n")
    write("layer_set", "odd.txt", "Only a name\n")
    write("layer_set", "shift_jis.txt", "石畳\r\nfloor.png\r\n".encode("cp932"))
    write("layer_set", "invalid.txt", "A\nfloor.png\nB\n<1,2,x>wall.bmp\nC\nnowhere.png\n")


def languages():
    os.makedirs(os.path.join(CORPUS, "language_file"), exist_ok=True)
    for f in ("English.ini", "Japanese.ini"):
        shutil.copy(os.path.join(ROOT, "Langs", f), os.path.join(CORPUS, "language_file", f))
    write("language_file", "shift_jis.ini",
          "[Title]\r\nLang=日本語\r\n[MapEdit2Form]\r\nFile1=ファイル(&F)\r\n".encode("cp932"))
    write("language_file", "odd.ini", "\xef\xbb\xbf; comment\nno section=1\n[A]\nx = 1\n[a]\nX=2\n"
                                      "[broken\nkey without value\n=v\n".encode())


def chips():
    for i, text in enumerate(["<0,0,16>floor.png", "<16,32,32>x.png", "<-1,0,8>a", "<1,2>",
                              "<a,b,c>p", "<0,0,0>floor.png", "<48,48,16>", "<2147483647,1,1>f",
                              "<0x10,$20,1>f"]):
        write("chip_reference", f"seed{i}.txt", text)


def lines():
    for i, text in enumerate(["C30mC0", "CG", "CJ0", "CJ0n", "C30mC30mC30", "",
                              "C30m*foreign", encode_line(b"0001" * 64), "zzzz+/+/"]):
        write("decode_line", f"seed{i}.txt", text)


if __name__ == "__main__":
    shutil.rmtree(CORPUS, ignore_errors=True)
    maps()
    images()
    sets()
    languages()
    chips()
    lines()
