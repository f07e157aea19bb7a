#!/usr/bin/env python3
"""Draws every image of the skin package and writes them as PNG files.

The images are pure geometry: rounded rectangles, circles, stroked paths and
polygons, filled with flat colours or gradients and rasterised with analytic
horizontal coverage and 16 sub-scanlines per pixel row. Only the standard
library is used and nothing depends on time, locale or hashing order, so two
runs write byte-identical files.

    scripts/make-skin-images.py                  # rewrite skin/package/*/*.png
    scripts/make-skin-images.py --out DIR        # write the images under DIR instead
    scripts/make-skin-images.py --preview DIR    # also compose mock-ups of the windows

It also writes the installer's program icon (app/TesselAssistant.ico, --icon).

The mock-ups place the images where the markup puts them (text is drawn as
grey bars); they are for looking at, not for the package.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Palette. The brand red is the markup's link colour (#E6003E).

BRAND = (0xE6, 0x00, 0x3E)
BRAND_PUSHED = (0xC7, 0x00, 0x36)
INK = (0x1F, 0x23, 0x29)
WHITE = (0xFF, 0xFF, 0xFF)


def hex_rgb(text):
    text = text.lstrip('#')
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# ---------------------------------------------------------------------------
# PNG output: 8-bit RGBA, straight alpha, one IDAT, per-row filter chosen by
# the usual minimum-sum-of-absolute-differences rule.

def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filter_rows(rows, stride):
    out = []
    prev = bytes(len(rows[0])) if rows else b''
    for row in rows:
        candidates = [(0, row)]
        sub = bytes((row[i] - (row[i - stride] if i >= stride else 0)) & 0xFF for i in range(len(row)))
        up = bytes((row[i] - prev[i]) & 0xFF for i in range(len(row)))
        candidates.append((1, sub))
        candidates.append((2, up))
        paeth = bytes((row[i] - _paeth(row[i - stride] if i >= stride else 0, prev[i],
                                       prev[i - stride] if i >= stride else 0)) & 0xFF
                      for i in range(len(row)))
        candidates.append((4, paeth))

        def cost(data):
            return sum(v if v < 128 else 256 - v for v in data)

        kind, data = min(candidates, key=lambda c: (cost(c[1]), c[0]))
        out.append(bytes((kind,)) + data)
        prev = row
    return b''.join(out)


def write_png(path, width, height, rgba):
    stride = width * 4
    rows = [bytes(rgba[y * stride:(y + 1) * stride]) for y in range(height)]

    def chunk(tag, data):
        return (struct.pack('>I', len(data)) + tag + data +
                struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF))

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    body = zlib.compress(_filter_rows(rows, 4), 9)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', body) + chunk(b'IEND', b'')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(png)


def read_png(path):
    """Reads back what write_png writes (8-bit RGBA, non-interlaced)."""
    with open(path, 'rb') as f:
        data = f.read()
    pos, idat, width, height = 8, b'', 0, 0
    while pos < len(data):
        length, tag = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if tag == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            assert depth == 8 and colour == 6, path
        elif tag == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4
    out = bytearray(stride * height)
    prev = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                row[i] = (row[i] + a) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + b) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                row[i] = (row[i] + _paeth(a, b, c)) & 0xFF
        out[y * stride:(y + 1) * stride] = row
        prev = row
    return width, height, out


# ---------------------------------------------------------------------------
# Canvas: premultiplied floating-point RGBA, composited source-over.

class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = [0.0] * (width * height * 4)

    def blend(self, x, y, rgb, alpha):
        """Blends straight colour rgb (0-255) with coverage-weighted alpha (0-1)."""
        if alpha <= 0.0:
            return
        i = (y * self.width + x) * 4
        px = self.px
        keep = 1.0 - alpha
        px[i] = rgb[0] / 255.0 * alpha + px[i] * keep
        px[i + 1] = rgb[1] / 255.0 * alpha + px[i + 1] * keep
        px[i + 2] = rgb[2] / 255.0 * alpha + px[i + 2] * keep
        px[i + 3] = alpha + px[i + 3] * keep

    def fill(self, coverage, paint, opacity=1.0, mask=None):
        """Fills a coverage block with a paint.

        paint is an (r, g, b) or (r, g, b, a) tuple, or a function of the pixel
        centre (x + 0.5, y + 0.5) returning one. mask, when given, is a
        coverage block over the whole canvas that further limits the fill.
        """
        x0, y0, w, h, cov = coverage
        constant = not callable(paint)
        if constant:
            rgb, a = paint[:3], (paint[3] if len(paint) > 3 else 1.0)
        for yy in range(h):
            y = y0 + yy
            if y < 0 or y >= self.height:
                continue
            for xx in range(w):
                c = cov[yy * w + xx]
                if c <= 0.0:
                    continue
                x = x0 + xx
                if x < 0 or x >= self.width:
                    continue
                if mask is not None:
                    c *= mask_at(mask, x, y)
                    if c <= 0.0:
                        continue
                if not constant:
                    value = paint(x + 0.5, y + 0.5)
                    rgb, a = value[:3], (value[3] if len(value) > 3 else 1.0)
                self.blend(x, y, rgb, min(1.0, c) * a * opacity)

    def paste(self, other, dx, dy, src=None):
        """Composites another canvas (or its source rectangle) at dx, dy."""
        sx0, sy0, sx1, sy1 = src if src else (0, 0, other.width, other.height)
        for y in range(sy0, sy1):
            ty = dy + y - sy0
            if ty < 0 or ty >= self.height:
                continue
            for x in range(sx0, sx1):
                tx = dx + x - sx0
                if tx < 0 or tx >= self.width:
                    continue
                j = (y * other.width + x) * 4
                a = other.px[j + 3]
                if a <= 0.0:
                    continue
                i = (ty * self.width + tx) * 4
                keep = 1.0 - a
                for k in range(3):
                    self.px[i + k] = other.px[j + k] + self.px[i + k] * keep
                self.px[i + 3] = a + self.px[i + 3] * keep

    def to_rgba8(self):
        out = bytearray(self.width * self.height * 4)
        px = self.px
        for i in range(0, len(px), 4):
            a = px[i + 3]
            a8 = int(a * 255.0 + 0.5)
            if a8 <= 0:
                continue
            if a8 > 255:
                a8 = 255
            for k in range(3):
                v = int(px[i + k] / a * 255.0 + 0.5)
                out[i + k] = 0 if v < 0 else 255 if v > 255 else v
            out[i + 3] = a8
        return out

    def save(self, path):
        write_png(path, self.width, self.height, self.to_rgba8())


def mask_at(mask, x, y):
    x0, y0, w, h, cov = mask
    xx, yy = x - x0, y - y0
    if xx < 0 or yy < 0 or xx >= w or yy >= h:
        return 0.0
    return min(1.0, cov[yy * w + xx])


# ---------------------------------------------------------------------------
# Rasteriser. Shapes are lists of closed contours (lists of (x, y) points in
# pixel space, where pixel (0, 0) covers [0, 1) x [0, 1)); the fill rule is
# non-zero winding, so contours of the same orientation unite and a contour of
# the opposite orientation cuts a hole. Each pixel row is cut into 16
# sub-scanlines; along a sub-scanline the covered length of every pixel is
# exact.

SUBSCANLINES = 16


def signed_area(contour):
    s = 0.0
    for i in range(len(contour)):
        x0, y0 = contour[i]
        x1, y1 = contour[(i + 1) % len(contour)]
        s += x0 * y1 - x1 * y0
    return s / 2.0


def oriented(contour, positive=True):
    """Returns the contour with positive (or negative) signed area."""
    if (signed_area(contour) > 0) != positive:
        return list(reversed(contour))
    return list(contour)


def rasterise(contours, clip_width, clip_height):
    xs = [p[0] for c in contours for p in c]
    ys = [p[1] for c in contours for p in c]
    x0 = max(0, int(math.floor(min(xs))))
    x1 = min(clip_width, int(math.ceil(max(xs))))
    y0 = max(0, int(math.floor(min(ys))))
    y1 = min(clip_height, int(math.ceil(max(ys))))
    w, h = max(0, x1 - x0), max(0, y1 - y0)
    cov = [0.0] * (w * h)
    edges = []
    for c in contours:
        for i in range(len(c)):
            ax, ay = c[i]
            bx, by = c[(i + 1) % len(c)]
            if ay == by:
                continue
            if ay < by:
                edges.append((ay, by, ax, (bx - ax) / (by - ay), 1))
            else:
                edges.append((by, ay, bx, (ax - bx) / (ay - by), -1))
    edges.sort()
    step = 1.0 / SUBSCANLINES
    for yy in range(h):
        row = [0.0] * (w + 2)   # difference array for fully covered runs
        part = [0.0] * (w + 1)  # partial coverage at span ends
        for k in range(SUBSCANLINES):
            sy = y0 + yy + (k + 0.5) * step
            hits = []
            for ey0, ey1, ex, slope, wind in edges:
                if ey0 > sy:
                    break
                if sy < ey1:
                    hits.append((ex + (sy - ey0) * slope, wind))
            if not hits:
                continue
            hits.sort()
            winding = 0
            for i in range(len(hits) - 1):
                winding += hits[i][1]
                if winding == 0:
                    continue
                a = hits[i][0] - x0
                b = hits[i + 1][0] - x0
                a = max(a, 0.0)
                b = min(b, float(w))
                if b <= a:
                    continue
                ia, ib = int(a), int(b)
                if ia == ib:
                    part[ia] += (b - a) * step
                    continue
                part[ia] += (ia + 1 - a) * step
                if ib < w:
                    part[ib] += (b - ib) * step
                row[ia + 1] += step
                row[ib] -= step
        run = 0.0
        base = yy * w
        for xx in range(w):
            run += row[xx]
            cov[base + xx] = run + part[xx]
    return (x0, y0, w, h, cov)


# ---------------------------------------------------------------------------
# Geometry.

def arc_points(cx, cy, rx, ry, a0, a1, segments=None):
    """Points on an ellipse from angle a0 to a1 (radians, y axis down)."""
    if segments is None:
        segments = max(4, int(abs(a1 - a0) * max(rx, ry) * 1.5) + 1)
    return [(cx + rx * math.cos(a0 + (a1 - a0) * i / segments),
             cy + ry * math.sin(a0 + (a1 - a0) * i / segments)) for i in range(segments + 1)]


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def rounded_polygon(points, radius):
    """Rounds every corner of a convex polygon with a circular arc."""
    n = len(points)
    pts = oriented(points)
    out = []
    for i in range(n):
        px, py = pts[i - 1]
        cx, cy = pts[i]
        nx, ny = pts[(i + 1) % n]
        ux, uy = px - cx, py - cy
        vx, vy = nx - cx, ny - cy
        lu, lv = math.hypot(ux, uy), math.hypot(vx, vy)
        ux, uy, vx, vy = ux / lu, uy / lu, vx / lv, vy / lv
        angle = math.acos(max(-1.0, min(1.0, ux * vx + uy * vy)))
        r = min(radius, math.tan(angle / 2) * min(lu, lv) / 2)
        if r <= 0:
            out.append((cx, cy))
            continue
        t = r / math.tan(angle / 2)
        bx, by = ux + vx, uy + vy
        lb = math.hypot(bx, by)
        d = r / math.sin(angle / 2)
        ox, oy = cx + bx / lb * d, cy + by / lb * d
        sx, sy = cx + ux * t, cy + uy * t
        ex, ey = cx + vx * t, cy + vy * t
        a0 = math.atan2(sy - oy, sx - ox)
        a1 = math.atan2(ey - oy, ex - ox)
        # Positive area with y down runs clockwise on screen: the arc turns
        # the short way from the incoming to the outgoing tangent point.
        while a1 - a0 > math.pi:
            a1 -= 2 * math.pi
        while a0 - a1 > math.pi:
            a1 += 2 * math.pi
        out.extend(arc_points(ox, oy, r, r, a0, a1))
    return out


def rounded_rect(x0, y0, x1, y1, radius):
    if radius <= 0:
        return rect(x0, y0, x1, y1)
    return rounded_polygon(rect(x0, y0, x1, y1), radius)


def circle(cx, cy, r):
    return arc_points(cx, cy, r, r, 0.0, 2 * math.pi)[:-1]


def inset_polygon(points, distance):
    """Moves every edge of a convex polygon inward by distance."""
    pts = oriented(points)
    n = len(pts)
    lines = []
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        dx, dy = bx - ax, by - ay
        length = math.hypot(dx, dy)
        # Inward normal of a positively oriented contour in y-down space.
        nx, ny = -dy / length, dx / length
        lines.append((ax + nx * distance, ay + ny * distance, dx, dy))
    out = []
    for i in range(n):
        ax, ay, adx, ady = lines[i - 1]
        bx, by, bdx, bdy = lines[i]
        det = adx * bdy - ady * bdx
        t = ((bx - ax) * bdy - (by - ay) * bdx) / det
        out.append((ax + adx * t, ay + ady * t))
    return out


def stroke(path, width, cap='butt'):
    """Outline of an open polyline stroked with the given width.

    Joins are mitred (the paths used here bend gently or at right angles),
    caps are butt or round.
    """
    half = width / 2.0
    n = len(path)
    normals = []
    for i in range(n - 1):
        dx, dy = path[i + 1][0] - path[i][0], path[i + 1][1] - path[i][1]
        length = math.hypot(dx, dy)
        normals.append((-dy / length, dx / length))
    left, right = [], []
    for i in range(n):
        if i == 0:
            nx, ny = normals[0]
            scale = 1.0
        elif i == n - 1:
            nx, ny = normals[-1]
            scale = 1.0
        else:
            ax, ay = normals[i - 1]
            bx, by = normals[i]
            nx, ny = ax + bx, ay + by
            length = math.hypot(nx, ny)
            nx, ny = nx / length, ny / length
            scale = 1.0 / max(0.2, nx * ax + ny * ay)
        x, y = path[i]
        left.append((x + nx * half * scale, y + ny * half * scale))
        right.append((x - nx * half * scale, y - ny * half * scale))
    outline = list(left)
    if cap == 'round':
        x, y = path[-1]
        nx, ny = normals[-1]
        a = math.atan2(ny, nx)
        outline.extend(arc_points(x, y, half, half, a, a - math.pi)[1:-1])
    outline.extend(reversed(right))
    if cap == 'round':
        x, y = path[0]
        nx, ny = normals[0]
        a = math.atan2(-ny, -nx)
        outline.extend(arc_points(x, y, half, half, a, a - math.pi)[1:-1])
    return oriented(outline)


def rounded_rect_distance(px, py, x0, y0, x1, y1, radius):
    """Signed distance from a point to a rounded rectangle (negative inside)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    bx, by = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    qx, qy = abs(px - cx) - bx, abs(py - cy) - by
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def union(*shapes):
    out = []
    for s in shapes:
        if s and isinstance(s[0], tuple):
            out.append(oriented(s))
        else:
            out.extend(oriented(c) for c in s)
    return out


def fill_shape(canvas, contours, paint, opacity=1.0, mask=None):
    canvas.fill(rasterise(contours, canvas.width, canvas.height), paint, opacity, mask)


def vertical_gradient(y0, y1, top, bottom):
    def paint(x, y):
        return mix(top, bottom, clamp01((y - y0) / (y1 - y0)))
    return paint


# ---------------------------------------------------------------------------
# Images.

def draw_background():
    """WndInstall/bk.png: a white card with a soft shadow and a tessellated crest.

    The window is per-pixel transparent and its root layout has an inset of
    10, so the card spans 10..720 x 10..488 and the shadow fades to nothing
    inside the 10-pixel border; the outermost pixels are fully transparent.
    """
    w, h = 730, 498
    canvas = Canvas(w, h)
    card = (10.0, 10.0, 720.0, 488.0)
    radius = 10.0

    # 1. Shadow: a contact shade and a wider ambient one, both ending well
    #    inside the image edge.
    shade = (0x14, 0x18, 0x22)
    for y in range(h):
        for x in range(w):
            px, py = x + 0.5, y + 0.5
            d_key = rounded_rect_distance(px, py - 1.5, card[0], card[1], card[2], card[3], radius)
            d_amb = rounded_rect_distance(px, py, card[0], card[1], card[2], card[3], radius)
            a = 0.0
            if d_key < 8.0:
                t = clamp01(1.0 - max(d_key, 0.0) / 8.0)
                a = 0.13 * t * t * (3 - 2 * t)
            if d_amb < 1.6:
                t = clamp01(1.0 - max(d_amb, 0.0) / 1.6)
                a = 1.0 - (1.0 - a) * (1.0 - 0.10 * t)
            if a > 0.0:
                canvas.blend(x, y, shade, a)

    # 2. The card itself.
    card_shape = [rounded_rect(card[0], card[1], card[2], card[3], radius)]
    card_cov = rasterise(card_shape, w, h)
    canvas.fill(card_cov, WHITE)

    # 3. A faint wash of brand colour at the top, fading out above the
    #    install button.
    wash_bottom = 300.0

    def wash(x, y):
        t = clamp01((y - card[1]) / (wash_bottom - card[1]))
        return BRAND + (0.045 * (1.0 - t) ** 2,)
    canvas.fill(rasterise([rect(card[0], card[1], card[2], wash_bottom)], w, h), wash, mask=card_cov)

    # 4. The crest: a triangle lattice in the two upper corners whose tiles
    #    fade with distance from the corner. Tile tints come from a fixed
    #    integer hash, not a random generator.
    side = 38.0
    row_h = side * math.sqrt(3) / 2

    def tint(i, j, k):
        v = (i * 73856093) ^ (j * 19349663) ^ (k * 83492791)
        v = (v ^ (v >> 13)) * 1274126177 & 0xFFFFFFFF
        return (v & 0xFFFF) / 65535.0

    for j in range(0, 9):
        ty0 = card[1] + j * row_h
        for i in range(-1, int(w / side) + 2):
            for k in range(2):
                shift = (j % 2) * side / 2
                bx = card[0] + i * side + shift
                if k == 0:
                    tri = [(bx, ty0 + row_h), (bx + side / 2, ty0), (bx + side, ty0 + row_h)]
                else:
                    tri = [(bx + side / 2, ty0), (bx + side * 1.5, ty0), (bx + side, ty0 + row_h)]
                cx = sum(p[0] for p in tri) / 3
                cy = sum(p[1] for p in tri) / 3
                # Strength: strongest in the top corners, nothing behind the
                # logo and below the crest.
                dl = math.hypot((cx - card[0]) / 260.0, (cy - card[1]) / 200.0)
                dr = math.hypot((card[2] - cx) / 260.0, (cy - card[1]) / 200.0)
                strength = max(0.0, 1.0 - min(dl, dr))
                if strength <= 0.0:
                    continue
                alpha = strength ** 1.6 * (0.025 + 0.085 * tint(i, j, k))
                colour = BRAND if tint(j, i, k + 7) > 0.35 else (0xFF, 0x5A, 0x7E)
                fill_shape(canvas, [oriented(tri)], colour + (alpha,), mask=card_cov)
    return canvas


# --- Wordmark -----------------------------------------------------------------

CAP = 44.0     # cap height of the wordmark
STEM = 9.0     # stroke weight


def letter_T(x, y):
    wdt = 38.0
    return union(rect(x, y, x + wdt, y + STEM),
                 rect(x + (wdt - STEM) / 2, y, x + (wdt + STEM) / 2, y + CAP)), wdt


def letter_E(x, y):
    wdt = 30.0
    mid = y + (CAP - STEM) / 2
    return union(rect(x, y, x + STEM, y + CAP),
                 rect(x, y, x + wdt, y + STEM),
                 rect(x, mid, x + wdt - 3.0, mid + STEM),
                 rect(x, y + CAP - STEM, x + wdt, y + CAP)), wdt


def letter_L(x, y):
    wdt = 28.0
    return union(rect(x, y, x + STEM, y + CAP),
                 rect(x, y + CAP - STEM, x + wdt, y + CAP)), wdt


def letter_S(x, y):
    """A geometric S: two stacked elliptical bowls joined at the spine."""
    wdt = 34.0
    half = STEM / 2
    rx = wdt / 2 - half
    ry = (CAP - STEM) / 4
    cx = x + wdt / 2
    upper = y + half + ry
    lower = upper + 2 * ry
    # Angles run with y pointing down: -pi/2 is the top of a bowl.
    path = arc_points(cx, upper, rx, ry, -0.16 * math.pi, -math.pi / 2, 40)
    path += arc_points(cx, upper, rx, ry, -math.pi / 2, -math.pi, 60)[1:]
    path += arc_points(cx, upper, rx, ry, -math.pi, -1.5 * math.pi, 60)[1:]
    path += arc_points(cx, lower, rx, ry, -math.pi / 2, 0.0, 60)[1:]
    path += arc_points(cx, lower, rx, ry, 0.0, math.pi / 2, 60)[1:]
    path += arc_points(cx, lower, rx, ry, math.pi / 2, 0.84 * math.pi, 40)[1:]
    return [stroke(path, STEM)], wdt


def wordmark(x, y, letters, spacing):
    contours = []
    for make in letters:
        shape, wdt = make(x, y)
        contours.extend(shape)
        x += wdt + spacing
    return contours, x - spacing


def cube_faces(cx, cy, r, gap):
    """An isometric cube (a hexagon of three rhombi), faces separated by gap."""
    def v(deg):
        a = math.radians(deg)
        return (cx + r * math.cos(a), cy - r * math.sin(a))
    c = (cx, cy)
    top = [c, v(150), v(90), v(30)]
    left = [c, v(270), v(210), v(150)]
    right = [c, v(30), v(330), v(270)]
    return [rounded_polygon(inset_polygon(face, gap / 2), 2.2) for face in (top, left, right)]


def draw_logo():
    """WndInstall/logo.png, 371 x 73: the cube mark and the TESSEL wordmark."""
    w, h = 371, 73
    canvas = Canvas(w, h)
    letters = [letter_T, letter_E, letter_S, letter_S, letter_E, letter_L]
    spacing = 10.0
    _, text_end = wordmark(0.0, 0.0, letters, spacing)
    mark_r = 33.0
    mark_w = mark_r * math.sqrt(3)
    gap = 20.0
    total = mark_w + gap + text_end
    left = round((w - total) / 2)
    cy = h / 2.0

    top, side_l, side_r = cube_faces(left + mark_w / 2, cy, mark_r, 3.0)
    fill_shape(canvas, [top], vertical_gradient(cy - mark_r, cy, hex_rgb('FF5C84'), hex_rgb('F2265A')))
    fill_shape(canvas, [side_l], vertical_gradient(cy - mark_r / 2, cy + mark_r, BRAND, hex_rgb('D5003A')))
    fill_shape(canvas, [side_r], vertical_gradient(cy - mark_r / 2, cy + mark_r, hex_rgb('B3002F'), hex_rgb('990028')))

    contours, _ = wordmark(left + mark_w + gap, (h - CAP) / 2, letters, spacing)
    fill_shape(canvas, contours, INK)
    return canvas


# --- Buttons ------------------------------------------------------------------

def pill_strip(frame_w, frame_h, states):
    """A strip of pill-shaped frames, one per (top colour, bottom colour)."""
    canvas = Canvas(frame_w * len(states), frame_h)
    r = frame_h / 2.0
    for i, (top, bottom) in enumerate(states):
        x0 = float(i * frame_w)
        shape = [rounded_rect(x0, 0.0, x0 + frame_w, float(frame_h), r)]
        fill_shape(canvas, shape, vertical_gradient(0.0, frame_h, top, bottom))
    return canvas


PRIMARY_STATES = [
    (hex_rgb('F0104D'), hex_rgb('E2003D')),   # normal
    (hex_rgb('FF2A62'), hex_rgb('F3124F')),   # hot
    (hex_rgb('C90037'), hex_rgb('BC0033')),   # pushed
    (hex_rgb('F4A3B8'), hex_rgb('EE9AAF')),   # disabled
]


def draw_secondary_strip():
    """Common/btn_Style_2.png: outlined buttons for dark text (normal, hot, pushed)."""
    frame_w, frame_h = 80, 36
    states = [
        (hex_rgb('CCCCCC'), WHITE),
        (BRAND, hex_rgb('FFF3F6')),
        (BRAND_PUSHED, hex_rgb('FCE3EA')),
    ]
    canvas = Canvas(frame_w * len(states), frame_h)
    r = 3.0
    for i, (border, fill) in enumerate(states):
        x0 = float(i * frame_w)
        outer = rounded_rect(x0, 0.0, x0 + frame_w, float(frame_h), r)
        inner = rounded_rect(x0 + 1, 1.0, x0 + frame_w - 1, frame_h - 1.0, r - 1)
        fill_shape(canvas, [oriented(outer), oriented(inner, positive=False)], border)
        fill_shape(canvas, [inner], fill)
    return canvas


# --- Small glyphs ---------------------------------------------------------------

def draw_checkbox(kind):
    """Common/uncheck.png, hotcheck.png, check.png: 16 x 16 box glyphs."""
    canvas = Canvas(16, 16)
    outer = rounded_rect(1.0, 1.0, 15.0, 15.0, 3.0)
    inner = rounded_rect(2.0, 2.0, 14.0, 14.0, 2.0)
    if kind == 'check':
        fill_shape(canvas, [outer], vertical_gradient(1.0, 15.0, hex_rgb('F0104D'), BRAND))
        tick = stroke([(4.6, 8.1), (7.0, 10.5), (11.6, 5.6)], 1.9, cap='round')
        fill_shape(canvas, [tick], WHITE)
        return canvas
    border = hex_rgb('B9BEC7') if kind == 'uncheck' else BRAND
    face = WHITE if kind == 'uncheck' else hex_rgb('FFF1F4')
    fill_shape(canvas, [oriented(outer), oriented(inner, positive=False)], border)
    fill_shape(canvas, [inner], face)
    return canvas


def draw_close(hover):
    """System/closed_default.png and closed_hover.png: 24 x 24 close glyphs."""
    canvas = Canvas(24, 24)
    colour = hex_rgb('9AA1AB')
    if hover:
        fill_shape(canvas, [circle(12.0, 12.0, 11.0)], hex_rgb('FDE7ED'))
        colour = BRAND
    a, b = 7.8, 16.2
    fill_shape(canvas, union(stroke([(a, a), (b, b)], 1.7, cap='round'),
                             stroke([(b, a), (a, b)], 1.7, cap='round')), colour)
    return canvas


def draw_progress_track():
    """Common/slider_bk.png, 640 x 12: the progress bar's track."""
    canvas = Canvas(640, 12)
    fill_shape(canvas, [rounded_rect(0.0, 0.0, 640.0, 12.0, 6.0)],
               vertical_gradient(0.0, 12.0, hex_rgb('E6E8EC'), hex_rgb('EFF1F4')))
    return canvas


def draw_progress_fill():
    """Common/slider_fore.png, 290 x 12: the progress bar's fill.

    Drawn with corner='20,0,20,0': the 20-pixel ends keep their shape, only
    the middle stretches, and a fill shorter than the two ends squeezes them
    together. The colour is the same along the whole length (brand red with a
    soft shine at the top), so the fill looks the same at every width; a
    gradient along it would put a hard step where the two ends meet.
    """
    w, h = 290, 12
    canvas = Canvas(w, h)

    def paint(x, y):
        shine = 0.18 * clamp01(1.0 - y / 6.0)
        return mix(BRAND, WHITE, shine)
    fill_shape(canvas, [rounded_rect(0.0, 0.0, float(w), float(h), 6.0)], paint)
    return canvas


def draw_warning():
    """MsgBox/icon_warning.png, 23 x 20: a rounded amber triangle with a mark."""
    canvas = Canvas(23, 20)
    tri = rounded_polygon([(11.5, 0.6), (22.6, 19.4), (0.4, 19.4)], 2.6)
    fill_shape(canvas, [tri], vertical_gradient(0.0, 20.0, hex_rgb('FFB444'), hex_rgb('F59A12')))
    fill_shape(canvas, [stroke([(11.5, 7.0), (11.5, 12.2)], 2.2, cap='round')], WHITE)
    fill_shape(canvas, [circle(11.5, 15.5, 1.3)], WHITE)
    return canvas


# ---------------------------------------------------------------------------

IMAGES = [
    ('WndInstall/bk.png', draw_background),
    ('WndInstall/logo.png', draw_logo),
    ('Common/btn_Style_1.png', lambda: pill_strip(150, 40, PRIMARY_STATES)),
    ('Common/btn_Style_2.png', draw_secondary_strip),
    ('Common/btn_Style_3.png', lambda: pill_strip(98, 30, PRIMARY_STATES)),
    ('Common/uncheck.png', lambda: draw_checkbox('uncheck')),
    ('Common/hotcheck.png', lambda: draw_checkbox('hotcheck')),
    ('Common/check.png', lambda: draw_checkbox('check')),
    ('Common/slider_bk.png', draw_progress_track),
    ('Common/slider_fore.png', draw_progress_fill),
    ('System/closed_default.png', lambda: draw_close(False)),
    ('System/closed_hover.png', lambda: draw_close(True)),
    ('MsgBox/icon_warning.png', draw_warning),
]


# --- Mock-ups -------------------------------------------------------------------

def load(root, name):
    w, h, data = read_png(os.path.join(root, name))
    canvas = Canvas(w, h)
    for i in range(0, len(data), 4):
        a = data[i + 3] / 255.0
        for k in range(3):
            canvas.px[i + k] = data[i + k] / 255.0 * a
        canvas.px[i + 3] = a
    return canvas


def nine_piece(image, width, corner_l, corner_r):
    """Stretches an image horizontally keeping corner_l and corner_r columns."""
    out = Canvas(width, image.height)
    mid_src = image.width - corner_l - corner_r
    mid_dst = width - corner_l - corner_r
    for y in range(image.height):
        for x in range(width):
            if x < corner_l:
                sx = x
            elif x >= width - corner_r:
                sx = image.width - (width - x)
            else:
                sx = corner_l + min(mid_src - 1, int((x - corner_l + 0.5) * mid_src / mid_dst))
            i = (y * width + x) * 4
            j = (y * image.width + sx) * 4
            out.px[i:i + 4] = image.px[j:j + 4]
    return out


def text_bar(canvas, x, y, w, h, rgb):
    fill_shape(canvas, [rounded_rect(x, y, x + w, y + h, h / 2)], rgb, 0.55)


def compose_previews(root, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    desk = (0xB8, 0xC4, 0xD2)

    def window():
        c = Canvas(730 + 40, 498 + 40)
        fill_shape(c, [rect(0, 0, c.width, c.height)], desk)
        c.paste(load(root, 'WndInstall/bk.png'), 20, 20)
        return c

    ox = oy = 20  # window origin inside the mock-up
    close = load(root, 'System/closed_default.png')
    logo = load(root, 'WndInstall/logo.png')
    strip1 = load(root, 'Common/btn_Style_1.png')
    strip2 = load(root, 'Common/btn_Style_2.png')

    # Page 0: before installation.
    c = window()
    c.paste(close, ox + 684, oy + 18)
    c.paste(logo, ox + 180, oy + 126)
    c.paste(strip1, ox + 290, oy + 244, (0, 0, 150, 40))
    text_bar(c, ox + 335, oy + 258, 60, 12, WHITE)
    text_bar(c, ox + 40, oy + 361, 90, 11, hex_rgb('888888'))
    fill_shape(c, [rect(ox + 40, oy + 392, ox + 594, oy + 428)], hex_rgb('CCCCCC'))
    fill_shape(c, [rect(ox + 41, oy + 393, ox + 593, oy + 427)], hex_rgb('F6F6F6'))
    text_bar(c, ox + 50, oy + 405, 250, 10, hex_rgb('444444'))
    c.paste(strip2, ox + 610, oy + 392, (0, 0, 80, 36))
    text_bar(c, ox + 635, oy + 405, 30, 10, hex_rgb('444444'))
    check = load(root, 'Common/check.png')
    for x, tw in ((40, 36), (437, 150), (615, 70)):
        c.paste(check, ox + x, oy + 451)
        text_bar(c, ox + x + 24, oy + 452, tw, 12, hex_rgb('444444'))
    text_bar(c, ox + 102, oy + 452, 160, 12, BRAND)
    c.save(os.path.join(out_dir, 'page0.png'))

    # Page 0 again with the button hot, a box hovered and the close glyph hot.
    c2 = window()
    c2.paste(load(root, 'System/closed_hover.png'), ox + 684, oy + 18)
    c2.paste(logo, ox + 180, oy + 126)
    for i in range(4):
        c2.paste(strip1, ox + 20 + i * 170, oy + 244, (i * 150, 0, (i + 1) * 150, 40))
    for i in range(3):
        c2.paste(strip2, ox + 200 + i * 100, oy + 392, (i * 80, 0, (i + 1) * 80, 36))
    for i, name in enumerate(('uncheck', 'hotcheck', 'check')):
        c2.paste(load(root, 'Common/%s.png' % name), ox + 300 + i * 40, oy + 451)
    c2.save(os.path.join(out_dir, 'states.png'))

    # Page 1: during installation, at 45 %.
    c = window()
    c.paste(logo, ox + 180, oy + 148)
    c.paste(load(root, 'Common/slider_bk.png'), ox + 45, oy + 390)
    fill = nine_piece(load(root, 'Common/slider_fore.png'), 288, 20, 20)
    c.paste(fill, ox + 45, oy + 390)
    text_bar(c, ox + 45, oy + 430, 200, 10, hex_rgb('444444'))
    c.save(os.path.join(out_dir, 'page1.png'))

    # Page 2: after installation.
    c = window()
    c.paste(close, ox + 684, oy + 18)
    c.paste(logo, ox + 180, oy + 148)
    c.paste(strip1, ox + 290, oy + 393, (0, 0, 150, 40))
    text_bar(c, ox + 335, oy + 407, 60, 12, WHITE)
    c.save(os.path.join(out_dir, 'page2.png'))

    # Message box at its minimum size.
    c = Canvas(342 + 40, 202 + 40)
    fill_shape(c, [rect(0, 0, c.width, c.height)], desk)
    fill_shape(c, [rect(20, 20, 362, 222)], hex_rgb('DDDDDD'))
    fill_shape(c, [rect(21, 21, 361, 221)], WHITE)
    c.paste(load(root, 'System/closed_default.png'), 20 + 253 + 59, 20 + 4)
    text_bar(c, 20 + 18 + 6, 20 + 20, 40, 12, hex_rgb('111111'))
    c.paste(load(root, 'MsgBox/icon_warning.png'), 20 + 96 + 4, 20 + 83 + 5)
    text_bar(c, 20 + 136, 20 + 90, 120, 14, hex_rgb('111111'))
    c.paste(load(root, 'Common/btn_Style_3.png'), 20 + 122, 20 + 150 + 10, (0, 0, 98, 30))
    c.save(os.path.join(out_dir, 'messagebox.png'))


# --- Program icon -------------------------------------------------------------

ICON_SIZES = (16, 24, 32, 48, 256)


def draw_icon(size):
    """The cube mark alone, filling a square icon of size x size."""
    canvas = Canvas(size, size)
    c = size / 2.0
    r = size * 0.49
    gap = max(size / 22.0, 0.9)
    top, side_l, side_r = cube_faces(c, c, r, gap)
    fill_shape(canvas, [top], vertical_gradient(c - r, c, hex_rgb('FF5C84'), hex_rgb('F2265A')))
    fill_shape(canvas, [side_l], vertical_gradient(c - r / 2, c + r, BRAND, hex_rgb('D5003A')))
    fill_shape(canvas, [side_r], vertical_gradient(c - r / 2, c + r, hex_rgb('B3002F'), hex_rgb('990028')))
    return canvas


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


def write_icon(path):
    """An .ico with DIB images up to 48 pixels and a PNG one at 256."""
    images = []
    for size in ICON_SIZES:
        rgba = draw_icon(size).to_rgba8()
        if size >= 256:
            tmp = path + '.png.tmp'
            write_png(tmp, size, size, rgba)
            with open(tmp, 'rb') as f:
                data = f.read()
            os.remove(tmp)
        else:
            data = icon_dib(size, rgba)
        images.append((size, data))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(bytes(out))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_root = os.path.join(os.path.dirname(here), 'skin', 'package')
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--out', default=default_root, help='package folder to write into')
    parser.add_argument('--preview', help='also write mock-ups of the windows into this folder')
    parser.add_argument('--only', help='draw only the images whose name contains this text')
    parser.add_argument('--icon', default=os.path.join(os.path.dirname(here), 'app', 'TesselAssistant.ico'),
                        help='where to write the program icon')
    args = parser.parse_args()
    if not args.only or args.only == 'icon':
        write_icon(args.icon)
        print(args.icon)
    for name, draw in IMAGES:
        if args.only and args.only not in name:
            continue
        path = os.path.join(args.out, *name.split('/'))
        draw().save(path)
        print(name)
    if args.preview:
        compose_previews(args.out, args.preview)
    return 0


if __name__ == '__main__':
    sys.exit(main())
