"""QuellPane's icons and button pictures, drawn from code.

Every design is laid out on a 32 x 32 board of units and drawn afresh at each pixel size, so
edges land on whole pixels at 16 px instead of being a blurred reduction of a large picture.
The visual language: a browser pane; red with a white bar means block, green with a white
check means allow; a round badge is "this time", a shield is "always".

    python3 icons.py OUT_DIR     writes every .ico into OUT_DIR
"""

import math
import os
import sys

from raster import (Canvas, Circle, Polygon, Rect, Stroke, arc, ico_bytes, mix, quad_bezier,
                    rgba, vertical)

APP_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PICTURE_SIZES = (16, 20, 24, 32, 40, 48, 64)
TOOLBAR_SIZES = (16, 20, 24, 32, 40, 48)

WHITE = rgba('#ffffff')

BLUE = {'edge': rgba('#1b3d70'), 'top': rgba('#5b9bea'), 'bottom': rgba('#2a63b9')}
RED = {'edge': rgba('#7c160f'), 'top': rgba('#f0614d'), 'bottom': rgba('#c2281c')}
GREEN = {'edge': rgba('#17561f'), 'top': rgba('#5cc46a'), 'bottom': rgba('#23873a')}
AMBER = {'edge': rgba('#6e4a00'), 'top': rgba('#ffd24d'), 'bottom': rgba('#eea000')}
SLATE = {'edge': rgba('#1e2731'), 'top': rgba('#56687c'), 'bottom': rgba('#323f4e')}
PAGE = {'top': rgba('#ffffff'), 'bottom': rgba('#e9eff7'), 'text': rgba('#b9c6d6')}


def brighter(palette, amount=0.3):
    """The toolbar's hot variant: the same colours, lifted towards white."""
    return {k: mix(v, WHITE, amount) if k != 'edge' else v for k, v in palette.items()}


class Board:
    """Design units on a 32-unit board mapped onto a canvas of `size` pixels."""

    def __init__(self, canvas):
        self.canvas = canvas
        self.size = canvas.size
        self.k = canvas.size / 32
        # Outlines stay one pixel up to 48 px and grow slowly after that.
        self.line = max(1, math.floor(canvas.size / 40 + 0.5))

    def u(self, v):
        return v * self.k

    def snap(self, v):
        return math.floor(v * self.k + 0.5)

    def box(self, x0, y0, x1, y1):
        return self.snap(x0), self.snap(y0), self.snap(x1), self.snap(y1)

    def pts(self, points):
        return [(self.u(x), self.u(y)) for x, y in points]


def outlined(b, shape, palette, y0, y1):
    """Fills shape with its dark edge, then its inside one line in with a vertical gradient."""
    b.canvas.fill(shape, palette['edge'])
    b.canvas.fill(shape.grow(-b.line), vertical(palette['top'], palette['bottom'], y0, y1))


def pane(b, x0, y0, x1, y1, title=BLUE, page=PAGE):
    """A browser window: dark frame, blue title bar, a page with lines of text."""
    x0, y0, x1, y1 = b.box(x0, y0, x1, y1)
    radius = max(1.0, b.u(2))
    frame = Rect(x0, y0, x1, y1, radius)
    b.canvas.fill(frame, title['edge'])
    inner = frame.grow(-b.line)
    bar = max(2, b.snap(5))
    b.canvas.fill(inner & Rect(x0, y0, x1, y0 + b.line + bar),
                  vertical(title['top'], title['bottom'], y0, y0 + bar + b.line))
    body = inner & Rect(x0, y0 + b.line * 2 + bar, x1, y1)
    b.canvas.fill(body, vertical(page['top'], page['bottom'], y0 + bar, y1))
    if b.size >= 24:
        # The window's buttons at the right of the title bar.
        dot = max(1, b.snap(1.5))
        cy = y0 + b.line + (bar - dot) // 2
        for n in range(3):
            right = x1 - b.line - b.snap(1.5) - n * (dot + max(1, b.snap(1.2)))
            b.canvas.fill(Rect(right - dot, cy, right, cy + dot), rgba('#ffffff', 0.85))
        # Lines of text on the page, as many as fit.
        top = y0 + 2 * b.line + bar + max(1, b.snap(2.5))
        step = max(2, b.snap(3.5))
        thick = max(1, b.snap(1.5))
        n = 0
        while top + thick <= y1 - b.line - max(1, b.snap(2)):
            width = (x1 - x0) * (0.72 if n % 3 != 2 else 0.5)
            left = x0 + b.line + max(1, b.snap(2.5))
            b.canvas.fill(Rect(left, top, left + math.floor(width - b.u(4)), top + thick),
                          page['text'])
            top += step
            n += 1
    return frame


def shield_shape(b, x0, y0, x1, y1):
    x0, y0, x1, y1 = b.box(x0, y0, x1, y1)
    cx, h = (x0 + x1) / 2, y1 - y0
    shoulder = y0 + 0.42 * h
    outline = [(x0, y0), (x1, y0), (x1, shoulder)]
    outline += quad_bezier((x1, shoulder), (x1, y0 + 0.82 * h), (cx, y1))
    outline += quad_bezier((cx, y1), (x0, y0 + 0.82 * h), (x0, shoulder))
    return Polygon(outline), (x0, y0, x1, y1)


def centred_width(width, centre):
    """Widens by one pixel where needed so that a span centred on `centre` has whole-pixel
    edges: an odd width around a pixel's middle, an even one around a pixel boundary."""
    return width + (width - math.floor(2 * centre)) % 2


def white_bar(b, cx, cy, half_width, half_height):
    """The block mark: a white bar, its height a whole number of pixels."""
    height = max(2, b.snap(2 * half_height))
    width = centred_width(max(3, b.snap(2 * half_width)), cx)
    top = math.floor(cy - height / 2 + 0.5)
    b.canvas.fill(Rect(cx - width / 2, top, cx + width / 2, top + height), WHITE)


def check_mark(b, cx, cy, scale, width):
    """The allow mark: a white tick centred on (cx, cy) pixels; scale in units per unit."""
    points = [(-4.6, 0.2), (-1.4, 3.6), (4.8, -3.4)]
    b.canvas.fill(Stroke([(cx + b.u(x * scale), cy + b.u(y * scale)) for x, y in points],
                         max(1.6, b.u(width))), WHITE)


def shield(b, x0, y0, x1, y1, palette, mark, gap=True):
    shape, (sx0, sy0, sx1, sy1) = shield_shape(b, x0, y0, x1, y1)
    if gap:
        b.canvas.clear(shape.grow(b.line))
    outlined(b, shape, palette, sy0, sy1)
    cx, h, w = (sx0 + sx1) / 2, sy1 - sy0, sx1 - sx0
    if mark == 'bar':
        white_bar(b, cx, sy0 + 0.43 * h, 0.28 * w / b.k, 0.085 * h / b.k)
    else:
        check_mark(b, cx, sy0 + 0.44 * h, w / b.k / 18, 3.4 * w / b.k / 18)


def badge(b, cx, cy, r, palette, gap=True):
    """A round badge; returns its centre and radius in pixels."""
    pcx, pcy, pr = b.u(cx), b.u(cy), b.u(r)
    disc = Circle(pcx, pcy, pr)
    if gap:
        b.canvas.clear(disc.grow(b.line))
    outlined(b, disc, palette, pcy - pr, pcy + pr)
    return pcx, pcy, pr


def arrow_right(b, cx, cy, length, colour):
    """A right arrow centred on (cx, cy) pixels, `length` units long."""
    half = b.u(length) / 2
    head = half * 0.95
    shaft = max(1.0, b.u(length) * 0.24)
    b.canvas.fill(Rect(cx - half, cy - shaft / 2, cx + half - head * 0.6, cy + shaft / 2), colour)
    b.canvas.fill(Polygon([(cx + half - head, cy - head), (cx + half, cy),
                           (cx + half - head, cy + head)]), colour)


# --- the designs -------------------------------------------------------------------------


def app(canvas, title=BLUE, mark=RED, page=PAGE):
    """The program: a browser pane guarded by a red shield that bars popups."""
    b = Board(canvas)
    pane(b, 0, 2, 28, 26, title, page)
    shield(b, 13, 11, 32, 32, mark, 'bar')


def pane_with_badge(canvas, palette):
    """A pane with a round badge at its lower right: what happens to this one popup."""
    b = Board(canvas)
    pane(b, 0, 2, 28, 26)
    return (b, *badge(b, 22.5, 22.5, 9.5, palette))


def prompt(canvas):
    """The setup-mode prompt: a pane with an amber "!" badge (a popup wants to open)."""
    b, cx, cy, r = pane_with_badge(canvas, AMBER)
    stem = max(1, b.snap(2.6))
    left = math.floor(cx - stem / 2 + 0.5)
    top, bottom = math.floor(cy - r * 0.62 + 0.5), math.floor(cy + r * 0.18 + 0.5)
    ink = rgba('#3d2600')
    soft = stem / 2 if b.size >= 32 else 0
    b.canvas.fill(Rect(left, top, left + stem, bottom, soft), ink)
    dot_top = bottom + max(1, b.snap(1.4))
    b.canvas.fill(Rect(left, dot_top, left + stem, dot_top + stem, soft), ink)


def allow_next(canvas):
    b, cx, cy, _ = pane_with_badge(canvas, GREEN)
    arrow_right(b, cx, cy, 11.5, WHITE)


def block_now(canvas):
    b, cx, cy, _ = pane_with_badge(canvas, RED)
    white_bar(b, cx, cy, 5.8, 1.6)


def allow_now(canvas):
    b, cx, cy, _ = pane_with_badge(canvas, GREEN)
    check_mark(b, cx, cy + b.u(0.3), 1.05, 3.2)


def block_always(canvas):
    shield(Board(canvas), 3, 1, 29, 31, RED, 'bar', gap=False)


def allow_always(canvas):
    shield(Board(canvas), 3, 1, 29, 31, GREEN, 'check', gap=False)


def minimize(canvas):
    """Minimise to the notification area: a pane drops into the taskbar's tray."""
    b = Board(canvas)
    pane(b, 0, 1, 22, 19)
    x0, y0, x1, y1 = b.box(0, 24, 32, 32)
    outlined(b, Rect(x0, y0, x1, y1, b.u(1.5)), SLATE, y0, y1)
    # The program's own tray icon, the arrow's target.
    tx0, ty0, tx1, ty1 = b.box(23, 26, 29, 30)
    b.canvas.fill(Rect(tx0, ty0, tx1, ty1), RED['top'])
    cx = (tx0 + tx1) / 2
    shaft = centred_width(max(2, b.snap(5)), cx)
    head = shaft / 2 + max(2, b.snap(3))
    top, neck, tip = b.snap(3), b.snap(14), b.snap(22)
    arrow = Polygon([(cx - shaft / 2, top), (cx + shaft / 2, top), (cx + shaft / 2, neck),
                     (cx + head, neck), (cx, tip), (cx - head, neck), (cx - shaft / 2, neck)])
    b.canvas.clear(arrow.grow(b.line))
    outlined(b, arrow, BLUE, top, tip)


def website(canvas):
    """The publisher's website: a globe."""
    b = Board(canvas)
    c, r = b.u(16), b.u(15)
    globe = Circle(c, c, r)
    b.canvas.fill(globe, BLUE['edge'])
    inside = globe.grow(-b.line)
    b.canvas.fill(inside, vertical(rgba('#7cc0f7'), rgba('#2766bd'), c - r, c + r))
    grid = rgba('#ffffff', 0.8)
    w = max(1.0, b.u(1.4))
    lines = [
        Stroke([(c - r, c), (c + r, c)], w),
        Stroke([(c, c - r), (c, c + r)], w),
        Stroke([(c + r * 0.5 * math.cos(t), c + r * math.sin(t))
                for t in [math.radians(a) for a in range(-90, 91, 10)]], w),
        Stroke([(c - r * 0.5 * math.cos(t), c + r * math.sin(t))
                for t in [math.radians(a) for a in range(-90, 91, 10)]], w),
    ]
    if b.size > 20:  # the latitudes would close the grid up at small sizes
        lines += [Stroke([(c - r * 0.87, c - r * 0.5), (c + r * 0.87, c - r * 0.5)], w),
                  Stroke([(c - r * 0.87, c + r * 0.5), (c + r * 0.87, c + r * 0.5)], w)]
    for line in lines:
        b.canvas.fill(line & inside, grid)


def add(canvas):
    """Add a site: a green plus."""
    b = Board(canvas)
    x0, y0, x1, y1 = b.box(3, 3, 29, 29)
    arm = centred_width(b.snap(9), (x0 + x1) / 2)
    mid0 = x0 + (x1 - x0 - arm) // 2
    plus = Rect(mid0, y0, mid0 + arm, y1, b.u(1)) | Rect(x0, mid0, x1, mid0 + arm, b.u(1))
    outlined(b, plus, GREEN, y0, y1)


def delete(canvas):
    """Delete a site: a red cross."""
    b = Board(canvas)
    w = b.u(9.5)
    cross = (Stroke([(b.u(6.5), b.u(6.5)), (b.u(25.5), b.u(25.5))], w) |
             Stroke([(b.u(25.5), b.u(6.5)), (b.u(6.5), b.u(25.5))], w))
    outlined(b, cross, RED, b.u(2), b.u(30))


def round_sign(b, palette):
    c, r = b.u(16), b.u(15)
    outlined(b, Circle(c, c, r), palette, c - r, c + r)
    return c, r


def help_icon(canvas):
    """The help window: a blue disc with a question mark."""
    b = Board(canvas)
    c, r = round_sign(b, BLUE)
    w = max(2.0, b.u(4.2))
    hook = arc(c, b.u(12.2), b.u(5.0), 190, 395, 20)
    hook.append((c + b.u(0.2), b.u(18.2)))
    hook.append((c, b.u(20.2)))
    b.canvas.fill(Stroke(hook, w), WHITE)
    b.canvas.fill(Circle(c, b.u(25.2), max(1.1, b.u(2.5))), WHITE)


def about_icon(canvas):
    """The about window: a blue disc with a lower-case i."""
    b = Board(canvas)
    c, r = round_sign(b, BLUE)
    stem = centred_width(max(2, b.snap(4.4)), b.size / 2)
    left = (b.size - stem) // 2
    b.canvas.fill(Rect(left, b.snap(13), left + stem, b.snap(25)), WHITE)
    dot = Rect(left, b.snap(7), left + stem, b.snap(7) + stem, stem / 2)
    b.canvas.fill(dot, WHITE)


# name of the .ico file: (design, sizes)
ICONS = {
    'quellpane': (app, APP_SIZES),
    'prompt': (prompt, APP_SIZES),
    'help': (help_icon, PICTURE_SIZES),
    'about': (about_icon, PICTURE_SIZES),
    'icon': (app, TOOLBAR_SIZES),
    'hoticon': (lambda c: app(c, brighter(BLUE), brighter(RED, 0.22), PAGE), TOOLBAR_SIZES),
    'allownext': (allow_next, PICTURE_SIZES),
    'minimize': (minimize, PICTURE_SIZES),
    'website': (website, PICTURE_SIZES),
    'add': (add, PICTURE_SIZES),
    'delete': (delete, PICTURE_SIZES),
    'blocknow': (block_now, PICTURE_SIZES),
    'blockalways': (block_always, PICTURE_SIZES),
    'allownow': (allow_now, PICTURE_SIZES),
    'allowalways': (allow_always, PICTURE_SIZES),
}


def render(design, sizes):
    images = {}
    for size in sizes:
        canvas = Canvas(size)
        design(canvas)
        images[size] = canvas.rgba8()
    return ico_bytes(images)


def main(out_dir, only=None):
    os.makedirs(out_dir, exist_ok=True)
    for name, (design, sizes) in ICONS.items():
        if only and name not in only:
            continue
        with open(os.path.join(out_dir, name + '.ico'), 'wb') as f:
            f.write(render(design, sizes))


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2:])
