#!/usr/bin/env python3
"""Draws the game's pictures and synthesises its sounds.

Everything here is made from scratch with the standard library only (zlib/struct for PNG, wave
for the sounds), so the output is reproducible: run it from any directory and it rewrites the
files under resources/ next to this script. The build uses the committed output and never runs
this script.
"""

import math
import os
import random
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# Edge smoothing of the small pictures: each pixel is sampled on a SUPERSAMPLE x SUPERSAMPLE grid.
SUPERSAMPLE = 4


# ---------------------------------------------------------------------------------------------
# PNG writing


def write_png(path, width, height, rows, alpha):
    """rows: list of lists of (r, g, b) or (r, g, b, a) tuples."""
    channels = 4 if alpha else 3
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for px in row:
            raw.extend(px[:channels])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    colour_type = 6 if alpha else 2
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


class Canvas:
    """An RGBA canvas with coverage-sampled shapes painted over each other."""

    def __init__(self, size, scale=1):
        """scale pixels to a unit of the shapes' coordinates: the same picture at a larger size."""
        self.size = size * scale
        self.scale = scale
        size = self.size
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(size)] for _ in range(size)]

    def fill(self, inside, colour):
        """inside(x, y) tells whether the point (in pixel units) belongs to the shape."""
        n = SUPERSAMPLE
        r, g, b = colour[:3]
        opacity = colour[3] / 255.0 if len(colour) > 3 else 1.0
        for y in range(self.size):
            for x in range(self.size):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside((x + (sx + 0.5) / n) / self.scale, (y + (sy + 0.5) / n) / self.scale):
                            hits += 1
                if hits == 0:
                    continue
                a = opacity * hits / (n * n)
                dr, dg, db, da = self.px[y][x]
                out_a = a + da * (1 - a)
                if out_a <= 0:
                    continue
                mix = lambda s, d: (s * a + d * da * (1 - a)) / out_a
                self.px[y][x] = (mix(r, dr), mix(g, dg), mix(b, db), out_a)

    def rows(self):
        return [
            [(round(r), round(g), round(b), round(a * 255)) for (r, g, b, a) in row]
            for row in self.px
        ]

    def save(self, path):
        write_png(path, self.size, self.size, self.rows(), alpha=True)


# Shape predicates, all in pixel units of the canvas.


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 < radius * radius


def ring(cx, cy, outer, inner):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 < outer * outer


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def outlined(canvas, shape, grown, fill, outline):
    """Paints `grown` (the shape widened by its outline) in the outline colour, then the shape."""
    canvas.fill(grown, outline)
    canvas.fill(shape, fill)


# ---------------------------------------------------------------------------------------------
# Tool bar icons (16 x 16, and 32 x 32 for screens of twice the pixel density)

BLUE = (40, 80, 210)
BLUE_EDGE = (10, 30, 120)


def triangle_right(x0, x1, cy, half):
    return polygon([(x0, cy - half), (x1, cy), (x0, cy + half)])


def triangle_left(x0, x1, cy, half):
    return polygon([(x1, cy - half), (x0, cy), (x1, cy + half)])


def draw_arrows(canvas, shapes):
    for s in shapes:
        canvas.fill(s, BLUE)


def icon_start(scale=1):
    c = Canvas(16, scale)
    c.fill(polygon([(3.5, 1.5), (14.5, 8), (3.5, 14.5)]), BLUE_EDGE)
    c.fill(polygon([(4.5, 3.2), (12.6, 8), (4.5, 12.8)]), BLUE)
    return c


def icon_stop(scale=1):
    c = Canvas(16, scale)
    c.fill(rect(2.5, 2.5, 13.5, 13.5), BLUE_EDGE)
    c.fill(rect(3.5, 3.5, 12.5, 12.5), BLUE)
    return c


def icon_first(scale=1):
    c = Canvas(16, scale)
    draw_arrows(c, [rect(1.5, 3, 3.5, 13), triangle_left(3.5, 9, 8, 5), triangle_left(8.5, 14, 8, 5)])
    return c


def icon_back(scale=1):
    c = Canvas(16, scale)
    draw_arrows(c, [triangle_left(2, 8.5, 8, 5.5), triangle_left(8, 14.5, 8, 5.5)])
    return c


def icon_forward(scale=1):
    c = Canvas(16, scale)
    draw_arrows(c, [triangle_right(1.5, 8, 8, 5.5), triangle_right(7.5, 14, 8, 5.5)])
    return c


def icon_last(scale=1):
    c = Canvas(16, scale)
    draw_arrows(c, [triangle_right(2, 7.5, 8, 5), triangle_right(7, 12.5, 8, 5), rect(12.5, 3, 14.5, 13)])
    return c


def icon_take_back(scale=1):
    c = Canvas(16, scale)
    # A hooked arrow turning back to the left: the last moves are taken back.
    arc = minus(ring(9, 10, 5.5, 3.3), rect(0, 10, 16, 16))
    tail = rect(11.7, 10, 14.5, 13.5)
    head = polygon([(1.0, 9.2), (8.0, 9.2), (4.5, 14.8)])
    draw_arrows(c, [arc, tail, head])
    return c


def figure(cx, head_y, scale):
    head = circle(cx, head_y, 2.0 * scale)
    body = rounded_rect(cx - 2.6 * scale, head_y + 2.4 * scale, cx + 2.6 * scale, head_y + 9.5 * scale, 1.2 * scale)
    return head, body


def icon_game_settings(scale=1):
    c = Canvas(16, scale)
    # Two standing players: the dark one plays black, the light one white.
    for cx, head_y, fill in ((5.2, 3.2, (40, 40, 40)), (11.0, 4.6, (235, 235, 235))):
        head, body = figure(cx, head_y, 1.0)
        head_rim, body_rim = figure(cx, head_y, 1.25)
        c.fill(union(head_rim, body_rim), (20, 20, 20))
        c.fill(head, fill)
        c.fill(body, fill)
    return c


def icon_env_settings(scale=1):
    c = Canvas(16, scale)
    # A spanner lying on the diagonal: an open jaw at the upper right, the handle to the lower left.
    u = (1 / math.sqrt(2), -1 / math.sqrt(2))  # along the handle, towards the head
    v = (1 / math.sqrt(2), 1 / math.sqrt(2))

    def local(x, y):
        dx, dy = x - 8, y - 8
        return dx * u[0] + dy * u[1], dx * v[0] + dy * v[1]

    def handle(x, y):
        s, t = local(x, y)
        return -7.5 <= s <= 2.5 and abs(t) <= 1.4

    def head(x, y):
        s, t = local(x, y)
        return (s - 3.6) ** 2 + t ** 2 <= 3.3 ** 2

    def jaw(x, y):
        s, t = local(x, y)
        return s >= 3.4 and abs(t) <= 1.2

    spanner = minus(union(handle, head), jaw)

    def spanner_rim(x, y):
        return any(spanner(x + ox, y + oy) for ox, oy in ((0.6, 0), (-0.6, 0), (0, 0.6), (0, -0.6)))

    c.fill(spanner_rim, (60, 60, 70))
    c.fill(spanner, (175, 180, 190))
    return c


# ---------------------------------------------------------------------------------------------
# Program icon: two stones on a green square. The window uses 16 to 256; the desktop's icon theme
# gets every size.

PROGRAM_ICON_SIZES = (16, 32, 48, 64, 128, 256)


def program_icon(size):
    c = Canvas(size)
    k = size / 32.0
    c.fill(rounded_rect(0.5 * k, 0.5 * k, 31.5 * k, 31.5 * k, 5 * k), (10, 70, 30))
    c.fill(rounded_rect(1.5 * k, 1.5 * k, 30.5 * k, 30.5 * k, 4 * k), (30, 130, 60))
    c.fill(circle(12.5 * k, 13 * k, 8.6 * k), (0, 0, 0))
    c.fill(circle(12.5 * k, 13 * k, 7.6 * k), (25, 25, 25))
    c.fill(circle(11.0 * k, 11.0 * k, 3.0 * k), (90, 90, 90, 160))
    c.fill(circle(20.5 * k, 20 * k, 8.6 * k), (0, 0, 0))
    c.fill(circle(20.5 * k, 20 * k, 7.6 * k), (245, 245, 245))
    return c


# The same picture as program_icon, as scalable vector shapes for the desktop's icon theme.
PROGRAM_ICON_SVG = """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <rect x="0.5" y="0.5" width="31" height="31" rx="5" fill="#0a461e"/>
  <rect x="1.5" y="1.5" width="29" height="29" rx="4" fill="#1e823c"/>
  <circle cx="12.5" cy="13" r="8.6" fill="#000000"/>
  <circle cx="12.5" cy="13" r="7.6" fill="#191919"/>
  <circle cx="11" cy="11" r="3" fill="#5a5a5a" fill-opacity="0.627"/>
  <circle cx="20.5" cy="20" r="8.6" fill="#000000"/>
  <circle cx="20.5" cy="20" r="7.6" fill="#f5f5f5"/>
</svg>
"""


# ---------------------------------------------------------------------------------------------
# Board background: a dark red frame around a white field.

BACK_WIDTH, BACK_HEIGHT = 501, 504
# Frame width at this picture size; the view stretches the picture so that it matches its margin.
BACK_FRAME = 25


def board_background():
    base = (112, 18, 22)
    light = (170, 60, 60)
    dark = (58, 4, 8)
    rows = []
    for y in range(BACK_HEIGHT):
        row = []
        for x in range(BACK_WIDTH):
            inner = BACK_FRAME <= x < BACK_WIDTH - BACK_FRAME and BACK_FRAME <= y < BACK_HEIGHT - BACK_FRAME
            if inner:
                row.append((255, 255, 255))
                continue
            edge_out = min(x, y, BACK_WIDTH - 1 - x, BACK_HEIGHT - 1 - y)
            colour = base
            if edge_out < 3:
                # Raised outer edge: lit from the upper left.
                colour = light if (x + y < BACK_WIDTH + BACK_HEIGHT - 2 - x - y and min(x, y) == edge_out) else dark
            else:
                dist_in = max(BACK_FRAME - x, BACK_FRAME - y, x - (BACK_WIDTH - 1 - BACK_FRAME), y - (BACK_HEIGHT - 1 - BACK_FRAME))
                if dist_in <= 2:
                    # Sunken inner edge around the field: shadow on its upper and left sides.
                    colour = dark if (x < BACK_FRAME or y < BACK_FRAME) else light
                else:
                    # A faint grain keeps the frame from looking flat.
                    grain = int(6 * math.sin(x * 0.21 + 0.7 * math.sin(y * 0.05)) + 4 * math.sin(y * 0.37))
                    colour = tuple(max(0, min(255, ch + grain)) for ch in base)
            row.append(colour)
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# Sounds: 16-bit mono at 22050 Hz.

RATE = 22050


def write_wav(path, samples):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples))


def sound_put():
    # A stone set down on wood: a low knock with a short noisy attack.
    rng = random.Random(1)
    n = int(RATE * 0.09)
    out = []
    for i in range(n):
        t = i / RATE
        knock = math.sin(2 * math.pi * 190 * t) * math.exp(-t * 55)
        click = rng.uniform(-1, 1) * math.exp(-t * 400)
        out.append(0.65 * knock + 0.35 * click)
    return out


def sound_turn():
    # A stone turned over: a light, brighter tick.
    rng = random.Random(2)
    n = int(RATE * 0.045)
    out = []
    for i in range(n):
        t = i / RATE
        tick = math.sin(2 * math.pi * 1250 * t) * math.exp(-t * 120)
        click = rng.uniform(-1, 1) * math.exp(-t * 700)
        out.append(0.35 * tick + 0.2 * click)
    return out


def sound_noput():
    # A rejected click: a short low buzz.
    n = int(RATE * 0.22)
    out = []
    for i in range(n):
        t = i / RATE
        envelope = min(1.0, t / 0.01) * min(1.0, (0.22 - t) / 0.04)
        buzz = sum(math.sin(2 * math.pi * 110 * h * t) / h for h in (1, 3, 5, 7))
        out.append(0.3 * envelope * buzz)
    return out


def main():
    icons = {
        "start": icon_start,
        "stop": icon_stop,
        "first": icon_first,
        "back": icon_back,
        "forward": icon_forward,
        "last": icon_last,
        "gameconf": icon_game_settings,
        "envconf": icon_env_settings,
        "takeback": icon_take_back,
    }
    for name, draw in icons.items():
        draw().save(os.path.join(HERE, "icons", name + ".png"))
        draw(2).save(os.path.join(HERE, "icons", name + "_32.png"))
    for size in PROGRAM_ICON_SIZES:
        program_icon(size).save(os.path.join(HERE, "icons", "morvane_%d.png" % size))
    with open(os.path.join(HERE, "icons", "morvane.svg"), "w", encoding="utf-8") as f:
        f.write(PROGRAM_ICON_SVG)
    write_png(os.path.join(HERE, "images", "back_board.png"), BACK_WIDTH, BACK_HEIGHT, board_background(), alpha=False)
    write_wav(os.path.join(HERE, "sounds", "put.wav"), sound_put())
    write_wav(os.path.join(HERE, "sounds", "turn.wav"), sound_turn())
    write_wav(os.path.join(HERE, "sounds", "noput.wav"), sound_noput())


if __name__ == "__main__":
    main()
