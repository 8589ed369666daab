#!/usr/bin/env python3
"""Makes the seed corpora of the fuzz targets (the files in the folders beside
this script). The streams for the virtual printer are real downloads, made
by markograph-cli from small logos drawn here.

    python3 make_seeds.py PATH/TO/markograph-cli
"""
import base64
import gzip
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(HERE, "..", "..", "samples")


def put(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def bmp(width, height, bits, pixel, palette=(), compression=0, top_down=False, core=False, masks=None,
        raw=None):
    """A BMP file; pixel(x, y) gives a palette index or (r, g, b). raw replaces the pixel data."""
    row_bytes = ((width * bits + 31) // 32) * 4
    data = bytearray()
    rows = range(height) if top_down else range(height - 1, -1, -1)
    for y in rows if raw is None else []:
        row = bytearray(row_bytes)
        for x in range(width):
            v = pixel(x, y)
            if bits == 1:
                if v:
                    row[x // 8] |= 0x80 >> (x % 8)
            elif bits == 4:
                row[x // 2] |= v << (4 if x % 2 == 0 else 0)
            elif bits == 8:
                row[x] = v
            elif bits == 16:
                r, g, b = v
                row[2 * x:2 * x + 2] = struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
            elif bits == 24:
                r, g, b = v
                row[3 * x:3 * x + 3] = bytes((b, g, r))
            else:
                r, g, b = v
                row[4 * x:4 * x + 4] = bytes((b, g, r, 255))
        data += row
    if raw is not None:
        data = bytearray(raw)
    if core:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        pal = b"".join(bytes((b, g, r)) for r, g, b in palette)
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, compression,
                           len(data), 2835, 2835, len(palette), 0)
        pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    extra = b"".join(struct.pack("<I", m) for m in masks) if masks else b""
    offset = 14 + len(info) + len(extra) + len(pal)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + info + extra + pal + bytes(data)


def logo(x, y):
    """A small logo: white paper, a red square, black bars, a grey ramp."""
    if 2 <= x < 8 and 2 <= y < 8:
        return (220, 20, 30)
    if y % 5 == 0:
        return (0, 0, 0)
    if x > 12:
        return (x * 12 % 256, x * 12 % 256, x * 12 % 256)
    return (255, 255, 255)


def profile_seeds():
    shutil.copy(os.path.join(SAMPLES, "NV.inf"), os.path.join(HERE, "fuzz_profile_file", "sample-nv.inf"))
    put("fuzz_profile_file", "crlf-bom.inf", "\xef\xbb\xbf[COMMON]\r\nModelName = TX-200 \r\nModelType=2\r\n"
        "\r\n; a comment\r\n[PRINTERLIST]\r\nPRINTER01=TX-100,015,001,512,050,256\r\n")
    put("fuzz_profile_file", "duplicates.inf", "key=before any section\n[a]\nk=1\nK=2\n[A]\nk=3\n# c=4\n"
        "[b] trailing\nx = 12abc\ny=-0x10\nz=99999999999\n[c]b]\nv=\t \n[unclosed\nw=5")


def bmp_seeds():
    white_black = [(255, 255, 255), (0, 0, 0)]
    sixteen = [(i * 17, 255 - i * 17, (i * 40) % 256) for i in range(16)]
    grey = [(i, i, i) for i in range(256)]
    put("fuzz_bmp_conversion", "mono-1bit.bmp", bmp(20, 9, 1, lambda x, y: (x + y) % 3 == 0, white_black))
    put("fuzz_bmp_conversion", "colours-4bit.bmp", bmp(17, 6, 4, lambda x, y: (x * 3 + y) % 16, sixteen))
    put("fuzz_bmp_conversion", "grey-8bit.bmp", bmp(19, 11, 8, lambda x, y: (x * 13 + y * 7) % 256, grey))
    put("fuzz_bmp_conversion", "logo-16bit.bmp", bmp(18, 10, 16, logo))
    put("fuzz_bmp_conversion", "logo-24bit.bmp", bmp(21, 17, 24, logo))
    put("fuzz_bmp_conversion", "logo-32bit-topdown.bmp", bmp(16, 9, 32, logo, top_down=True))
    put("fuzz_bmp_conversion", "logo-16bit-bitfields.bmp",
        bmp(9, 5, 16, logo, compression=3, masks=(0xF800, 0x07E0, 0x001F)))
    put("fuzz_bmp_conversion", "core-header-8bit.bmp", bmp(7, 5, 8, lambda x, y: x * 30 % 256, grey, core=True))
    # Run-length data: a run, an absolute run, end of line, a delta, end of bitmap.
    rle8 = bytes([4, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 1, 1, 3, 5, 0, 1])
    put("fuzz_bmp_conversion", "rle8.bmp", bmp(8, 3, 8, None, grey[:8], compression=1, raw=rle8))
    rle4 = bytes([6, 0x12, 0, 4, 0x34, 0x56, 0, 0, 3, 0x7F, 0, 1])
    put("fuzz_bmp_conversion", "rle4.bmp", bmp(8, 2, 4, None, sixteen, compression=2, raw=rle4))
    # Streams that leave pixels unset: they must read as palette entry 0 on
    # every run. An early end of bitmap, a delta over rows, a run past the
    # right edge, top-down rows, and a stream cut short (refused).
    paper = [(255, 255, 255), (0, 0, 0), (200, 30, 40)] + grey[3:16]
    put("fuzz_bmp_conversion", "rle8-early-end.bmp",
        bmp(24, 16, 8, None, paper, compression=1, raw=bytes([24, 1, 0, 0, 8, 2, 0, 1])))
    put("fuzz_bmp_conversion", "rle8-delta.bmp",
        bmp(24, 16, 8, None, paper, compression=1, raw=bytes([3, 1, 0, 2, 5, 6, 30, 2, 0, 0, 4, 1, 0, 1])))
    put("fuzz_bmp_conversion", "rle8-topdown.bmp",
        bmp(20, 12, 8, None, paper, compression=1, top_down=True, raw=bytes([20, 1, 0, 0, 0, 4, 1, 2, 1, 2, 0, 1])))
    put("fuzz_bmp_conversion", "rle8-cut.bmp", bmp(20, 12, 8, None, paper, compression=1, raw=bytes([20, 1, 0])))
    put("fuzz_bmp_conversion", "rle4-delta.bmp",
        bmp(21, 9, 4, None, sixteen, compression=2, raw=bytes([5, 0x12, 0, 2, 3, 2, 7, 0x34, 0, 3, 0x56, 0x70, 0, 1])))
    put("fuzz_bmp_conversion", "logo-32bit-bitfields-topdown.bmp",
        bmp(13, 7, 32, logo, compression=3, top_down=True, masks=(0xFF0000, 0x00FF00, 0x0000FF)))
    shutil.copy(os.path.join(SAMPLES, "mono-badge.bmp"), os.path.join(HERE, "fuzz_bmp_conversion", "mono-badge.bmp"))


def reply_seeds():
    # Byte 0: how a leading 00 is taken (0 ends the reply, 1 skipped, 2 capacity
    # query); byte 1: the buffer (00 the list dialog's 90 bytes, 40 the
    # download dialog's 256); then the printer's bytes, FE a read that fails.
    seeds = {
        "list-two": "\x00\x00" + "\x37\x72\x40\x30\x31\x30\x32\x00",
        "list-empty": "\x00\x00" + "\x37\x72\x40\x00",
        "list-more": "\x00\x00" + "\x37\x72\x41\x30\x31\x00",
        "list-letter": "\x01\x40" + "\x00\x37\x72\x40\x41\x30\x00",
        "list-slow": "\x01\x40" + "\xfe\xfe\x00\x37\xfe\x72\x40\x30\x31\xfe\x00",
        "capacity": "\x02\x40" + "\x37\x31\x32\x36\x32\x31\x34\x34\x00",
        "capacity-long": "\x02\x40" + "\x37\x31" + "9" * 12 + "\x00",
        "capacity-silent": "\x02\x40" + "\xfe" * 3,
        "garbage": "\x00\x40" + "\x3f\xa5\x5a\xc3\x81\x7e\x00",
        "endless": "\x00\x00" + "\x37\x72\x40" + "9" * 120,
        "cut": "\x01\x40" + "\x37\x72\x40\x30",
        "endless-zeros": "\x01\x40" + "\x00" * 300,
    }
    for name, data in seeds.items():
        put("fuzz_printer_reply", name, data)


def selection_seeds():
    for i, text in enumerate(["1-2", "3,4,5", "7", "1-3-5", "2-4,9", "5-3", "3-", "1,2-,3", "0-254", "999",
                              "1000", "-3", "3-,5", "1--3", "001,010,100", "1-255,1"]):
        put("fuzz_print_selection", "selection-%02d" % i, text)


def store_seeds():
    put("fuzz_logo_store", "three-logos", "markograph-registry 1\n"
        "value image001 1 /home/ann/logos/shop.bmp,120,100,085,1%00\n"
        "value image002 1 /home/ann/Caf%C3%A9%20logos/a.bmp,000,100,100,0%00\n"
        "value image003 1 C:\\logos\\b,c.bmp,359,255,000,3%00\n"
        "end 3\n")
    put("fuzz_logo_store", "types", "markograph-registry 1\n"
        "value image001 2 /x.bmp,-12,+99,1,9%00\n"
        "value image002 4 %01%00%00%00\n"
        "value Image%203 7 a%00b%00%00\n"
        "value image004 1 no-zero-at-end\n"
        "end 4\n")
    put("fuzz_logo_store", "empty", "markograph-registry 1\nend 0\n")
    put("fuzz_logo_store", "cut-short", "markograph-registry 1\nvalue image001 1 /a.bmp,1")


def sim_seeds(cli):
    """Real downloads of three small logos, with prints and queries."""
    work = tempfile.mkdtemp()
    try:
        paths = []
        for i, (w, h) in enumerate([(21, 17), (9, 30), (40, 8)]):
            path = os.path.join(work, "logo%d.bmp" % i)
            with open(path, "wb") as f:
                f.write(bmp(w, h, 24, logo))
            paths.append(path)

        def convert(*args):
            out = os.path.join(work, "out.prn")
            subprocess.run([cli, "convert", "--no-limits", "-o", out, *args, *paths], check=True)
            with open(out, "rb") as f:
                return f.read()

        # Byte 0: capacity and largest piece (bits 6-7, 0-5), byte 1: the seed.
        whole, small, bytewise = b"\x3f\x01", b"\x07\x02", b"\x00\x03"
        header = b"----- Logo : 2 -----\n".ljust(30, b"\0")
        mono = convert("--model-type", "1")
        put("fuzz_sim_mono", "download", whole + mono)
        put("fuzz_sim_mono", "download-split", small + mono)
        put("fuzz_sim_mono", "prints", bytewise + b"\x1b\x40" + header + b"\x1c\x70\x02\x03\x1c\x70\x01\x30")
        put("fuzz_sim_mono", "download-tight", b"\x47\x05" + mono + b"\x1c\x70\x01\x00")
        two = convert("--model-type", "2", "--receipt-width", "32")
        query = bytes.fromhex("1B40 1D284C0400304B4B43 1B40 1D284C02003033")
        put("fuzz_sim_two_color", "download", whole + bytes.fromhex("1D284C050030414C43") + two + query)
        put("fuzz_sim_two_color", "download-split", small + two + query)
        put("fuzz_sim_two_color", "print-delete", bytewise + two[:9] + bytes.fromhex(
            "1D284C0600304530300101 1D284C04003042 3030 1D284C0400304B4B43"))
        for density in ("0", "1", "2"):
            dot = convert("--model-type", "0", "--density", density)
            put("fuzz_sim_dot", "download-density%s" % density,
                (whole if density == "0" else small) + dot + b"\x1b\x67\x01\x1b\x67\x03")
        put("fuzz_sim_dot", "prints", bytewise + b"\x1b\x40\x1b\x67\x02\x1b\x67\x00\x00")
    finally:
        shutil.rmtree(work)


# fuzz_picture_import: byte 0 picks the file name's suffix, byte 1 the import
# settings (see fuzz_picture_import.cpp).
PICTURE_SUFFIX = {"png": 0, "jpg": 1, "gif": 2, "bmp": 3, "tif": 4, "webp": 5, "svg": 6, "svgz": 7}


def picture(name, suffix, data, settings=0):
    put("fuzz_picture_import", name, bytes([PICTURE_SUFFIX[suffix], settings]) + data)


def claim_jpeg(jpeg, width, height):
    """The JPEG with another size in its frame header, cut after its first scan's header."""
    data = bytearray(jpeg)
    at = 2
    while at + 4 < len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        if marker in (0xC0, 0xC2):
            data[at + 5:at + 9] = struct.pack(">HH", height, width)
        if marker == 0xDA:
            return bytes(data[:at + 2 + length + 4])
        at += 2 + length
    raise ValueError("no scan")


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, rows, colour_type=0, depth=8):
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
            + (png_chunk(b"IDAT", zlib.compress(rows)) if rows is not None else b"") + png_chunk(b"IEND", b""))


def svg(body, before=""):
    return (before + '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
            'width="40" height="20">' + body + "</svg>").encode()


def picture_seeds():
    """The JPEG, TIFF, WebP and PNG files in picture_sources/ were written by
    Qt's image writers from a 16 x 12 logo (half black, a red corner, the rest
    transparent); the seeds below are made from them and by hand."""
    folder = os.path.join(HERE, "picture_sources")
    raw = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            raw[name] = f.read()
    for name, data in sorted(raw.items()):
        suffix = name.rsplit(".", 1)[1]
        for settings in (0, 1, 2 | 0x80):
            picture("%s-%d" % (name, settings), suffix, data, settings)
    # Declared sizes the data cannot back: decoder memory and short files.
    picture("claim-progressive-10000.jpg", "jpg", claim_jpeg(raw["logo-progressive.jpg"], 10000, 10000))
    picture("claim-progressive-3000.jpg", "jpg", claim_jpeg(raw["logo-progressive.jpg"], 3000, 3000))
    picture("claim-baseline-30000.jpg", "jpg", claim_jpeg(raw["logo-baseline.jpg"], 30000, 30000))
    picture("claim-30000.png", "png", png(30000, 30000, None, colour_type=6))
    picture("claim-2000.png", "png", png(2000, 2000, b"\0" * 20, colour_type=2))
    picture("grey-rows.png", "png", png(8, 4, b"".join(b"\0" + bytes(range(y * 8, y * 8 + 8)) for y in range(4))))
    gif = bytes.fromhex("474946383961 0100 0100 800000 000000 ffffff 21f90401000000 00 2c 00000000 0100 0100 00 02024401 00 3b")
    picture("dot.gif", "gif", gif)
    picture("claim-screen-10000.gif", "gif", gif[:6] + struct.pack("<HH", 10000, 10000) + gif[10:])
    # Bitmaps whose run-length data leaves pixels unset, one early end each.
    paper = [(255, 255, 255), (0, 0, 0), (200, 30, 40)]
    picture("rle8-early-end.bmp", "bmp", bmp(24, 16, 8, None, paper, compression=1, raw=bytes([24, 1, 0, 0, 8, 2, 0, 1])))
    picture("rle4-delta.bmp", "bmp",
            bmp(21, 9, 4, None, paper, compression=2, raw=bytes([5, 0x12, 0, 2, 3, 2, 7, 0x34, 0, 1])), 1)
    picture("logo-24bit.bmp", "bmp", bmp(21, 17, 24, logo))
    # Drawings: shapes, text (fonts), compressed, and references outside the
    # drawing, which must be refused without being opened (/dev/stdin would
    # wait).
    shapes = svg('<rect width="20" height="20" fill="#000"/><circle cx="30" cy="10" r="8" fill="red"/>')
    picture("shapes.svg", "svg", shapes)
    text = svg('<text x="2" y="16" font-size="16" font-family="Sans">Logo<tspan fill="red">!</tspan></text>')
    picture("text.svg", "svg", text, 1)
    picture("text.svgz", "svgz", gzip.compress(text))
    png_data = base64.b64encode(raw["logo.png"]).decode()
    picture("embedded-png.svg", "svg", svg('<image width="40" height="20" xlink:href="data:image/png;base64,%s"/>' % png_data))
    claim = base64.b64encode(claim_jpeg(raw["logo-progressive.jpg"], 10000, 10000)).decode()
    picture("embedded-claim.svg", "svg", svg('<image width="40" height="20" xlink:href="data:image/jpeg;base64,%s"/>' % claim))
    outside = svg('<image width="40" height="20" xlink:href="/dev/stdin"/>')
    picture("image-outside.svg", "svg", outside)
    picture("image-relative.svg", "svg", svg('<image width="40" height="20" href="picture.png"/>'))
    picture("nested-outside.svg", "svg",
            svg('<image width="40" height="20" xlink:href="data:image/svg+xml;base64,%s"/>' % base64.b64encode(outside).decode()))
    picture("stylesheet.svg", "svg", svg('<rect width="9" height="9"/>', '<?xml-stylesheet type="text/css" href="/dev/stdin"?>'))
    picture("css-import.svg", "svg", svg('<style>@import url(/dev/stdin); rect { fill: red }</style><rect width="9" height="9"/>'))
    picture("use-and-link.svg", "svg", svg('<defs><rect id="r" width="9" height="9"/></defs><use xlink:href="#r"/>'
                                           '<a href="https://example.invalid/"><use href="#r" x="20"/></a>'))


def fleet_seeds():
    """Hosts files and state files, each as fuzz_fleet_files reads both."""
    hosts = {
        "hosts-mixed": "# shop printers\n192.168.0.20\n192.168.0.21:9101 TX-200  # upstairs\n\n"
                       "/dev/ttyUSB0 DX-300\nCOM3\nLPT1 TX-100\n/dev/usb/lp0\r\n",
        "hosts-bad-lines": "shop-7\n10.0.0.1:0\n10.0.0.1:65536\n10.0.0.1\n10.0.0.1:9100\n::1\n1.2.3\n",
        # Special files and links named as printers: only their names are read.
        "hosts-special-paths": "/tmp/fifo\n/dev/null\n/proc/self/fd/0\n/tmp/link -> /etc/passwd\n",
        # Names: commas, non-breaking spaces, bytes that are not UTF-8.
        "hosts-names": b"/dev/usb/lp,0 TX,100\n/dev/pts/7\xc2\xa0TX-100\n/dev/usb/lp\xff1\n"
                       b"/dev/usb/lp2 # caf\xe9\n10.0.0.9 \xe2\x80\x83model\n",
        # The serial line of the virtual printer.
        "hosts-serial": "/dev/pts/3 TX-100\n/dev/ttyS0\nCOM11\nCOM12\nCOM0\n",
        "state-two-runs": '{"version": 1, "runs": {'
                          '"capacity": {"options": [], "printers": {"127.0.0.1:9100": {"result": "ok", '
                          '"reason": "", "finished": "2026-01-01T00:00:00Z"}}}, '
                          '"delete": {"options": ["--all"], "printers": {"127.0.0.1:9101": {"result": "failed", '
                          '"reason": "Error : Write failed!"}}}}}',
        "state-odd-values": '{"version": 1, "runs": {"download": {"options": [1, null, "--model", {"a": 2}], '
                            '"printers": {"/dev/pts/3": {"result": "ok"}, "x": [], "y": {"result": true}}}, '
                            '"print": 7, "": {}}}',
        "state-names": b'{"version": 1, "runs": {"download": {"options": ["a,b.bmp", "line\\nbreak.bmp", '
                       b'"caf\xc3\xa9.bmp", "\xff.bmp"], "printers": {"/dev/usb/lp\\u0000": {"result": "ok"}}}}}',
        "state-wrong-version": '{"version": 2, "runs": {}}',
        "state-cut-short": '{"version": 1, "runs": {"capacity": {"options": [], "printers": {"127.0.0.1:9',
    }
    for name, text in hosts.items():
        put("fuzz_fleet_files", name, text)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    os.makedirs(os.path.join(HERE, "fuzz_profile_file"), exist_ok=True)
    profile_seeds()
    bmp_seeds()
    reply_seeds()
    selection_seeds()
    store_seeds()
    picture_seeds()
    fleet_seeds()
    sim_seeds(sys.argv[1])


if __name__ == "__main__":
    main()
