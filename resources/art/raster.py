"""A small anti-aliased rasteriser and the .ico/.png writers the icon designs use.

Shapes are signed distance fields in pixel units (negative inside); a pixel's coverage is
0.5 - distance at its centre, clamped to 0..1, which gives one pixel of anti-aliasing and
leaves edges that sit on pixel boundaries perfectly crisp. Standard library only, and every
output is a pure function of the design, so the files come out byte for byte the same.
"""

import math
import struct
import zlib


def _clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


class Shape:
    """A signed distance field with a pixel bounding box (x0, y0, x1, y1)."""

    bbox = (0.0, 0.0, 0.0, 0.0)

    def d(self, x, y):
        raise NotImplementedError

    def __or__(self, other):
        return Combined(self, other, min)

    def __and__(self, other):
        return Combined(self, other, max)

    def grow(self, k):
        return Offset(self, k)


class Rect(Shape):
    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.hx, self.hy = (x1 - x0) / 2, (y1 - y0) / 2
        self.r = min(r, self.hx, self.hy)
        self.bbox = (x0, y0, x1, y1)

    def d(self, x, y):
        qx = abs(x - self.cx) - self.hx + self.r
        qy = abs(y - self.cy) - self.hy + self.r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r
        self.bbox = (cx - r, cy - r, cx + r, cy + r)

    def d(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r


class Stroke(Shape):
    """A polyline of width w with round joins and caps."""

    def __init__(self, points, w):
        self.points, self.h = points, w / 2
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.bbox = (min(xs) - self.h, min(ys) - self.h, max(xs) + self.h, max(ys) + self.h)

    def d(self, x, y):
        best = math.inf
        for (ax, ay), (bx, by) in zip(self.points, self.points[1:]):
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = _clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
        return best - self.h


class Polygon(Shape):
    """Any simple polygon, exact distance (even-odd inside test)."""

    def __init__(self, points):
        self.points = points
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.bbox = (min(xs), min(ys), max(xs), max(ys))

    def d(self, x, y):
        pts = self.points
        best = math.inf
        sign = 1.0
        j = len(pts) - 1
        for i in range(len(pts)):
            vix, viy = pts[i]
            vjx, vjy = pts[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = x - vix, y - viy
            t = _clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            c1, c2, c3 = y >= viy, y < vjy, ex * wy > ey * wx
            if (c1 and c2 and c3) or not (c1 or c2 or c3):
                sign = -sign
            j = i
        return sign * math.sqrt(best)


class Combined(Shape):
    """Union (pick = min of the distances) or intersection (pick = max) of two shapes."""

    def __init__(self, a, b, pick):
        other = max if pick is min else min
        self.a, self.b, self.pick = a, b, pick
        self.bbox = (pick(a.bbox[0], b.bbox[0]), pick(a.bbox[1], b.bbox[1]),
                     other(a.bbox[2], b.bbox[2]), other(a.bbox[3], b.bbox[3]))

    def d(self, x, y):
        return self.pick(self.a.d(x, y), self.b.d(x, y))


class Offset(Shape):
    """The shape grown by k pixels (shrunk when k is negative)."""

    def __init__(self, shape, k):
        self.shape, self.k = shape, k
        x0, y0, x1, y1 = shape.bbox
        self.bbox = (x0 - k, y0 - k, x1 + k, y1 + k)

    def d(self, x, y):
        return self.shape.d(x, y) - self.k


def quad_bezier(p0, p1, p2, steps=12):
    """Points along a quadratic curve, p0 excluded."""
    out = []
    for i in range(1, steps + 1):
        t = i / steps
        a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return out


def arc(cx, cy, r, start_deg, end_deg, steps=16):
    """Points along a circular arc; angles clockwise from 3 o'clock (y points down)."""
    out = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        out.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return out


def rgba(hex_colour, alpha=1.0):
    h = hex_colour.lstrip('#')
    return (int(h[0:2], 16) / 255, int(h[2:4], 16) / 255, int(h[4:6], 16) / 255, alpha)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def vertical(c0, c1, y0, y1):
    """A paint that runs from c0 at y0 to c1 at y1."""
    span = (y1 - y0) or 1.0
    return lambda x, y: mix(c0, c1, _clamp((y - y0) / span))


class Canvas:
    """A square RGBA picture, premultiplied floats, drawn in painter's order."""

    def __init__(self, size):
        self.size = size
        self.pixels = [(0.0, 0.0, 0.0, 0.0)] * (size * size)

    def _cells(self, shape, reach):
        x0, y0, x1, y1 = shape.bbox
        lo_x = max(0, int(math.floor(x0 - reach)))
        lo_y = max(0, int(math.floor(y0 - reach)))
        hi_x = min(self.size, int(math.ceil(x1 + reach)))
        hi_y = min(self.size, int(math.ceil(y1 + reach)))
        for j in range(lo_y, hi_y):
            for i in range(lo_x, hi_x):
                yield i, j

    def fill(self, shape, paint, soft=1.0):
        """Paints the shape; paint is a colour or a function (x, y) -> colour."""
        colour_at = paint if callable(paint) else (lambda x, y: paint)
        for i, j in self._cells(shape, soft):
            x, y = i + 0.5, j + 0.5
            cover = _clamp(0.5 - shape.d(x, y) / soft)
            if cover <= 0.0:
                continue
            r, g, b, a = colour_at(x, y)
            a *= cover
            k = j * self.size + i
            pr, pg, pb, pa = self.pixels[k]
            keep = 1.0 - a
            self.pixels[k] = (r * a + pr * keep, g * a + pg * keep, b * a + pb * keep,
                              a + pa * keep)

    def clear(self, shape):
        """Cuts the shape out of what is drawn so far (a transparent gap)."""
        for i, j in self._cells(shape, 1.0):
            cover = _clamp(0.5 - shape.d(i + 0.5, j + 0.5))
            if cover <= 0.0:
                continue
            k = j * self.size + i
            keep = 1.0 - cover
            self.pixels[k] = tuple(v * keep for v in self.pixels[k])

    def rgba8(self):
        """Straight-alpha 8-bit RGBA rows, top row first."""
        rows = []
        for j in range(self.size):
            row = []
            for i in range(self.size):
                r, g, b, a = self.pixels[j * self.size + i]
                if a <= 0.0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append((round(_clamp(r / a) * 255), round(_clamp(g / a) * 255),
                            round(_clamp(b / a) * 255), round(_clamp(a) * 255)))
            rows.append(row)
        return rows


def png_bytes(rows):
    """An RGBA PNG with no ancillary chunks (so no timestamp)."""
    height, width = len(rows), len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw.extend(px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def dib_bytes(rows):
    """An icon image as a 32-bit DIB: BGRA bottom-up, then the AND mask (1 = transparent)."""
    height, width = len(rows), len(rows[0])
    mask_stride = ((width + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i, (r, g, b, a) in enumerate(row):
            colour.extend((b, g, r, a))
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask.extend(bits)
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def ico_bytes(images):
    """An .ico from {size: rows}: DIBs below 256 px (every Windows reads them), PNG at 256."""
    sizes = sorted(images)
    blobs = [png_bytes(images[s]) if s >= 256 else dib_bytes(images[s]) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, blob in zip(sizes, blobs):
        edge = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', edge, edge, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)
