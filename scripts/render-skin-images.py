#!/usr/bin/env python3
"""Renders the skin's images and the program icon from their SVG sources with rsvg-convert.

Every image of the skin package has one SVG under skin/art/, in the folder of the same name:
skin/art/Common/btn_Style_1.svg becomes skin/package/Common/btn_Style_1.png at the size the SVG
declares (its width and height) and Common/btn_Style_1@200.png at twice that size (the name the framework looks up at 200 %), both drawn from
the vector shapes. The program icon app/TesselAssistant.ico is assembled from
skin/art/Icon/TesselAssistant-<N>.svg, one drawing for each size it carries (16, 24, 32 and 48 as
32-bit DIB images, 256 as a PNG image).

    scripts/render-skin-images.py                  # rewrite skin/package/**/*.png and the icon
    scripts/render-skin-images.py --out DIR        # write the package images under DIR instead
    scripts/render-skin-images.py --only logo      # only sources whose name contains "logo"
                                                   # ("icon" for the program icon)
    scripts/render-skin-images.py --check          # render into a temporary folder and report
                                                   # every committed file that differs

rsvg-convert (Debian's librsvg2-bin) draws; this script checks the pixel size of every picture and
stores it again losslessly with zlib at level 9, choosing the smallest of a few fixed PNG
encodings, so the files are small and two runs write byte-identical files.
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ART = os.path.join(ROOT, 'skin', 'art')
PACKAGE = os.path.join(ROOT, 'skin', 'package')
ICON = os.path.join(ROOT, 'app', 'TesselAssistant.ico')
ICON_FOLDER = 'Icon'
ICON_SIZES = (16, 24, 32, 48, 256)
SCALES = ((1, ''), (2, '@200'))


# ---------------------------------------------------------------------------
# PNG reading (what rsvg-convert writes: 8-bit RGBA) and writing.

def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_rgba_png(data):
    """Width, height and straight RGBA bytes of an 8-bit RGBA, non-interlaced PNG."""
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError('not a PNG')
    pos, idat, width, height = 8, [], 0, 0
    while pos < len(data):
        length, tag = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if tag == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if (depth, colour, interlace) != (8, 6, 0):
                raise ValueError('expected 8-bit RGBA without interlacing')
        elif tag == b'IDAT':
            idat.append(body)
        pos += 12 + length
    raw = zlib.decompress(b''.join(idat))
    stride = width * 4
    out = bytearray(stride * height)
    prev = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        row = bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:
            for i in range(4, stride):
                row[i] = (row[i] + row[i - 4]) & 0xFF
        elif kind == 2:
            for i in range(stride):
                row[i] = (row[i] + prev[i]) & 0xFF
        elif kind == 3:
            for i in range(stride):
                row[i] = (row[i] + ((row[i - 4] if i >= 4 else 0) + prev[i]) // 2) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = row[i - 4] if i >= 4 else 0
                c = prev[i - 4] if i >= 4 else 0
                row[i] = (row[i] + _paeth(a, prev[i], c)) & 0xFF
        elif kind != 0:
            raise ValueError('unknown PNG filter %d' % kind)
        out[y * stride:(y + 1) * stride] = row
        prev = row
    return width, height, bytes(out)


def _filtered_rows(rows, bpp):
    """Every row under each of the five PNG filters: a list of five lists of rows."""
    out = [[], [], [], [], []]
    prev = bytes(len(rows[0]))
    for row in rows:
        n = len(row)
        left = bytes(bpp) + row[:n - bpp]
        upleft = bytes(bpp) + prev[:n - bpp]
        out[0].append(row)
        out[1].append(bytes((x - a) & 0xFF for x, a in zip(row, left)))
        out[2].append(bytes((x - b) & 0xFF for x, b in zip(row, prev)))
        out[3].append(bytes((x - ((a + b) >> 1)) & 0xFF for x, a, b in zip(row, left, prev)))
        out[4].append(bytes((x - _paeth(a, b, c)) & 0xFF
                            for x, a, b, c in zip(row, left, prev, upleft)))
        prev = row
    return out


def _cost(data):
    return sum(v if v < 128 else 256 - v for v in data)


def _compress(raw):
    """The smaller of zlib's default and filtered strategies, both at level 9."""
    best = None
    for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
        packer = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
        data = packer.compress(raw) + packer.flush()
        if best is None or len(data) < len(best):
            best = data
    return best


def _idat(rows, bpp):
    """The smallest compressed image data among one filter for all rows (each of the five) and
    the per-row choice by the least sum of absolute differences."""
    filtered = _filtered_rows(rows, bpp)
    choices = [[(kind, row) for row in filtered[kind]] for kind in range(5)]
    choices.append([min(((kind, filtered[kind][y]) for kind in range(5)),
                        key=lambda c: (_cost(c[1]), c[0])) for y in range(len(rows))])
    best = None
    for choice in choices:
        data = _compress(b''.join(bytes((kind,)) + row for kind, row in choice))
        if best is None or len(data) < len(best):
            best = data
    return best


def _chunk(tag, data):
    return (struct.pack('>I', len(data)) + tag + data +
            struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF))


def encode_png(width, height, rgba, rgba_only=False):
    """The smallest lossless PNG of the pixels among RGBA, RGB (when every pixel is opaque) and a
    palette (when there are at most 256 colours), each with the smallest filtering."""
    pixels = [rgba[i:i + 4] for i in range(0, len(rgba), 4)]
    candidates = [(6, None, 4, [rgba[y * width * 4:(y + 1) * width * 4] for y in range(height)])]
    if not rgba_only:
        if all(p[3] == 255 for p in pixels):
            rgb = b''.join(p[:3] for p in pixels)
            candidates.append((2, None, 3, [rgb[y * width * 3:(y + 1) * width * 3]
                                            for y in range(height)]))
        colours = {}
        for p in pixels:
            colours[p] = colours.get(p, 0) + 1
        if len(colours) <= 256:
            # Opaque colours last, so the transparency table stops at the last translucent one.
            order = sorted(colours, key=lambda c: (c[3] == 255, -colours[c], c))
            index = {c: i for i, c in enumerate(order)}
            indices = bytes(index[p] for p in pixels)
            translucent = sum(1 for c in order if c[3] != 255)
            extra = (b''.join(c[:3] for c in order), bytes(c[3] for c in order[:translucent]))
            candidates.append((3, extra, 1, [indices[y * width:(y + 1) * width]
                                             for y in range(height)]))
    best = None
    for colour_type, extra, bpp, rows in candidates:
        png = b'\x89PNG\r\n\x1a\n' + _chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8,
                                                                  colour_type, 0, 0, 0))
        if extra:
            png += _chunk(b'PLTE', extra[0])
            if extra[1]:
                png += _chunk(b'tRNS', extra[1])
        png += _chunk(b'IDAT', _idat(rows, bpp)) + _chunk(b'IEND', b'')
        if best is None or len(png) < len(best):
            best = png
    return best


# ---------------------------------------------------------------------------
# Rendering.

def svg_size(path):
    """The pixel size an SVG source declares with its width and height."""
    root = ElementTree.parse(path).getroot()
    size = []
    for name in ('width', 'height'):
        text = root.get(name, '')
        if not text.isdigit():
            raise SystemExit('%s: the root needs a width and a height in whole pixels' % path)
        size.append(int(text))
    return tuple(size)


def render(svg, width, height):
    """Straight RGBA pixels of the SVG drawn at width x height."""
    result = subprocess.run(['rsvg-convert', '--format', 'png', '--width', str(width),
                             '--height', str(height), svg], stdout=subprocess.PIPE, check=True)
    got_w, got_h, rgba = read_rgba_png(result.stdout)
    if (got_w, got_h) != (width, height):
        raise SystemExit('%s: rsvg-convert drew %dx%d, expected %dx%d' % (
            svg, got_w, got_h, width, height))
    return rgba


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def package_sources():
    """(source path, package name without ".png") for every image of the package."""
    out = []
    for folder, dirs, files in os.walk(ART):
        dirs.sort()
        relative = os.path.relpath(folder, ART)
        if relative.split(os.sep)[0] == ICON_FOLDER:
            continue
        for name in sorted(files):
            if name.endswith('.svg'):
                stem = os.path.join(relative, name[:-4]) if relative != '.' else name[:-4]
                out.append((os.path.join(folder, name), stem.replace(os.sep, '/')))
    return sorted(out, key=lambda item: item[1])


def render_package_image(svg, stem, out_dir):
    width, height = svg_size(svg)
    written = []
    for scale, suffix in SCALES:
        w, h = width * scale, height * scale
        png = encode_png(w, h, render(svg, w, h))
        name = '%s%s.png' % (stem, suffix)
        write(os.path.join(out_dir, *name.split('/')), png)
        written.append((name, w, h, len(png)))
    return written


def icon_dib(size, rgba):
    """One icon image as a 32-bit bottom-up DIB with its (all-zero) AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            i = (y * size + x) * 4
            rows += bytes((rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]))
    mask_stride = ((size + 31) // 32) * 4
    return header + bytes(rows) + bytes(mask_stride * size)


def build_icon():
    """The .ico: DIB images up to 48 pixels and a PNG image at 256."""
    images = []
    for size in ICON_SIZES:
        svg = os.path.join(ART, ICON_FOLDER, 'TesselAssistant-%d.svg' % size)
        if svg_size(svg) != (size, size):
            raise SystemExit('%s: expected a %dx%d drawing' % (svg, size, size))
        rgba = render(svg, size, size)
        data = encode_png(size, size, rgba, rgba_only=True) if size >= 256 else icon_dib(size, rgba)
        images.append((size, data))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def run(out_dir, icon_path, only, report=True):
    written = []
    for svg, stem in package_sources():
        if only and only not in stem:
            continue
        for name, w, h, size in render_package_image(svg, stem, out_dir):
            if report:
                print('%-32s %5d x %-4d %7d bytes' % (name, w, h, size))
            written.append(name)
    if not only or only == 'icon':
        data = build_icon()
        write(icon_path, data)
        if report:
            print('%-32s %21d bytes' % (icon_path, len(data)))
    return written


# The librsvg the committed pictures were drawn with. Another version may anti-alias edges a little
# differently: --check then compares only which pictures there are and their pixel sizes.
RENDERED_WITH = '2.54.'


def rsvg_version():
    result = subprocess.run(['rsvg-convert', '--version'], stdout=subprocess.PIPE, text=True,
                            check=True)
    return result.stdout.split()[-1]


def png_size(data):
    return struct.unpack('>II', data[16:24]) if data[:8] == b'\x89PNG\r\n\x1a\n' else None


def check(only):
    """Renders into a temporary folder and compares with the committed files."""
    version = rsvg_version()
    exact = version.startswith(RENDERED_WITH)
    if not exact:
        print('render-skin-images: librsvg %s, not %sx: pixel sizes compared, not pixels' %
              (version, RENDERED_WITH))
    with tempfile.TemporaryDirectory() as scratch:
        icon = os.path.join(scratch, 'TesselAssistant.ico')
        names = run(os.path.join(scratch, 'package'), icon, only, report=False)
        stale = []
        for name in names:
            with open(os.path.join(scratch, 'package', *name.split('/')), 'rb') as f:
                fresh = f.read()
            committed = os.path.join(PACKAGE, *name.split('/'))
            if not os.path.exists(committed):
                stale.append('skin/package/' + name)
                continue
            with open(committed, 'rb') as f:
                kept = f.read()
            if (exact and kept != fresh) or png_size(kept) != png_size(fresh):
                stale.append('skin/package/' + name)
        if exact and (not only or only == 'icon'):
            if open(ICON, 'rb').read() != open(icon, 'rb').read():
                stale.append('app/TesselAssistant.ico')
        # Pictures in the package without a source would never be redrawn.
        if not only:
            for folder, _, files in os.walk(PACKAGE):
                for file in files:
                    name = os.path.relpath(os.path.join(folder, file), PACKAGE).replace(os.sep, '/')
                    if name.endswith('.png') and name not in names:
                        stale.append('skin/package/%s (no source in skin/art/)' % name)
    if stale:
        print('render-skin-images: these differ from what the sources render:\n  ' +
              '\n  '.join(stale), file=sys.stderr)
        return 1
    print('render-skin-images: every image matches its source')
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--out', default=PACKAGE, help='package folder to write into')
    parser.add_argument('--only', help='render only the sources whose name contains this text')
    parser.add_argument('--icon', default=os.path.relpath(ICON), help='where to write the program icon')
    parser.add_argument('--check', action='store_true',
                        help='compare what the sources render with the committed files')
    args = parser.parse_args()
    if shutil.which('rsvg-convert') is None:
        sys.exit('render-skin-images: rsvg-convert is missing (scripts/install-deps.sh installs it)')
    if args.check:
        return check(args.only)
    run(args.out, args.icon, args.only)
    return 0


if __name__ == '__main__':
    sys.exit(main())
