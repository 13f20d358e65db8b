#!/usr/bin/env python3
"""Draws the stopwatch's button pictures and clock icon and writes the files beside this script.

Run by hand after changing a drawing; the written files are committed and the build only embeds
them (a test checks that they are what this script writes). Needs Python 3 with Pillow (Debian
package python3-pil) and icotool (icoutils) for the .ico. With --into FOLDER it writes there.

Shapes are signed distance functions in a unit square (y grows downwards); a pixel's coverage is
taken from its distance to the edge, which anti-aliases every outline at any size. So each button
picture is drawn afresh at every size a screen asks for: 32 px for the classic 256-colour GIF, and
40, 48 and 64 px (scales 1.25, 1.5 and 2) as PNGs with smooth edges for high-DPI screens.
"""
import argparse
import math
import os
import subprocess
import sys
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = HERE

# Button pictures for high-DPI screens, in pixels: 1.25, 1.5 and 2 times the classic 32 (the same
# list as in resources/CMakeLists.txt, which embeds them).
SCALED_SIZES = (40, 48, 64)

# Edge pixels of a GIF are either opaque or transparent: a partly covered pixel is kept when at
# least this much of it is covered, and its colour is mixed towards a light neutral grey, which
# sits well on light and on dark button faces alike.
GIF_COVERAGE_THRESHOLD = 0.45
GIF_MATTE = (0.80, 0.80, 0.80)


# --- shapes: functions (x, y) -> signed distance, negative inside -----------------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, half_width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half_width


def capsule(ax, ay, bx, by, r):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r
    return d


def convex_polygon(points):
    """Points in clockwise order on screen (y down)."""
    edges = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        length = math.hypot(bx - ax, by - ay)
        edges.append((ax, ay, (by - ay) / length, -(bx - ax) / length))

    def d(x, y):
        return max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)
    return d


def rounded_square(cx, cy, half, radius):
    def d(x, y):
        qx = abs(x - cx) - half + radius
        qy = abs(y - cy) - half + radius
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def regular_polygon(cx, cy, r, sides, rotation):
    return convex_polygon([(cx + r * math.cos(rotation + 2 * math.pi * i / sides),
                            cy + r * math.sin(rotation + 2 * math.pi * i / sides))
                           for i in range(sides)])


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def offset(shape, amount):
    return lambda x, y: shape(x, y) - amount


# --- paints: functions (x, y) -> (r, g, b) ----------------------------------------------------

def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) / 255 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(p + (q - p) * t for p, q in zip(a, b))


def solid(colour):
    colour = hex_rgb(colour)
    return lambda x, y: colour


def vertical(top, bottom, y0=0.0, y1=1.0):
    top, bottom = hex_rgb(top), hex_rgb(bottom)
    return lambda x, y: mix(top, bottom, max(0.0, min(1.0, (y - y0) / (y1 - y0))))


def radial(inner, outer, cx, cy, r):
    inner, outer = hex_rgb(inner), hex_rgb(outer)
    return lambda x, y: mix(inner, outer, min(1.0, math.hypot(x - cx, y - cy) / r))


# --- rendering --------------------------------------------------------------------------------

def render(layers, size):
    """layers: (shape, paint, opacity) from bottom to top; returns rows of (r, g, b, a)."""
    pixel = 1.0 / size
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            x, y = (i + 0.5) * pixel, (j + 0.5) * pixel
            r = g = b = a = 0.0  # premultiplied
            for shape, paint, opacity in layers:
                coverage = max(0.0, min(1.0, 0.5 - shape(x, y) / pixel)) * opacity(x, y)
                if coverage > 0.0:
                    cr, cg, cb = paint(x, y)
                    r, g, b = (cr * coverage + r * (1 - coverage), cg * coverage + g * (1 - coverage),
                               cb * coverage + b * (1 - coverage))
                    a = coverage + a * (1 - coverage)
            row.append((r / a, g / a, b / a, a) if a > 0 else (0.0, 0.0, 0.0, 0.0))
        rows.append(row)
    return rows


def full(x, y):
    return 1.0


def gloss(cy, height):
    """A highlight that fades from the top of a shape downwards."""
    return lambda x, y: max(0.0, min(0.75, 0.75 * (1 - (y - (cy - height)) / height)))


def glossy(shape, dark, light, rim, top, bottom):
    """A filled shape with a darker rim and a white sheen over its upper half."""
    sheen = subtract(offset(shape, -0.07), circle(0.5, bottom + 0.25, 0.62))
    return [
        (shape, solid(rim), full),
        (offset(shape, -0.035), vertical(light, dark, top, bottom), full),
        (sheen, solid("ffffff"), gloss(top + 0.32, 0.32)),
    ]


def start_picture():
    disc = circle(0.5, 0.5, 0.46)
    play = convex_polygon([(0.38, 0.27), (0.74, 0.5), (0.38, 0.73)])
    return glossy(disc, "127a1c", "6fe05a", "0b5212", 0.04, 0.96) + [
        (offset(play, 0.015), solid("ffffff"), full)]


def stop_picture():
    octagon = regular_polygon(0.5, 0.5, 0.49, 8, math.pi / 8)
    cross = union(capsule(0.33, 0.33, 0.67, 0.67, 0.065), capsule(0.67, 0.33, 0.33, 0.67, 0.065))
    return glossy(octagon, "a3100c", "ff6a5c", "6e0906", 0.04, 0.96) + [
        (cross, solid("ffffff"), full)]


def reset_picture():
    left = convex_polygon([(0.06, 0.5), (0.49, 0.22), (0.49, 0.78)])
    right = convex_polygon([(0.47, 0.5), (0.90, 0.22), (0.90, 0.78)])
    both = offset(union(left, right), 0.02)
    return [
        (offset(both, 0.03), solid("173d8c"), full),
        (both, vertical("7fb2ff", "1f55c4", 0.22, 0.78), full),
    ]


def exit_picture():
    square = rounded_square(0.5, 0.5, 0.46, 0.14)
    gap = convex_polygon([(0.5, 0.52), (0.22, 0.0), (0.78, 0.0)])
    arc = subtract(ring(0.5, 0.54, 0.21, 0.055), gap)
    bar = capsule(0.5, 0.22, 0.5, 0.5, 0.055)
    return glossy(square, "9c0f0b", "ff6b5e", "640805", 0.04, 0.96) + [
        (union(arc, bar), solid("ffffff"), full)]


def clock_picture(size):
    # Thinner strokes would vanish at 32 px; the widths stay in proportion above it.
    small = size <= 32
    face = circle(0.5, 0.5, 0.47)
    dial = circle(0.5, 0.5, 0.36)
    layers = [
        (face, solid("0d2f7a"), full),
        (circle(0.5, 0.5, 0.445), radial("6aa5ff", "1846b8", 0.42, 0.3, 0.6), full),
        (dial, solid("ffffff"), full),
        (subtract(circle(0.5, 0.5, 0.44), circle(0.5, 0.62, 0.5)), solid("ffffff"),
         gloss(0.26, 0.2)),
    ]
    for hour in range(12):
        angle = hour * math.pi / 6
        inner = 0.27 if hour % 3 == 0 else 0.3
        layers.append((capsule(0.5 + inner * math.sin(angle), 0.5 - inner * math.cos(angle),
                               0.5 + 0.33 * math.sin(angle), 0.5 - 0.33 * math.cos(angle),
                               0.02 if small else 0.012), solid("1b2a4a"), full))
    def hand(angle, length, width, colour):
        return (capsule(0.5, 0.5, 0.5 + length * math.sin(angle), 0.5 - length * math.cos(angle),
                        width), solid(colour), full)
    layers += [
        hand(math.radians(305), 0.19, 0.04 if small else 0.028, "1846b8"),  # hour, about ten
        hand(math.radians(60), 0.28, 0.032 if small else 0.02, "1846b8"),   # minute, ten past
        hand(math.radians(180), 0.31, 0.022 if small else 0.01, "e0201b"),  # second
        (circle(0.5, 0.5, 0.04), solid("e0201b"), full),
    ]
    return render(layers, size)


# --- GIF89a -----------------------------------------------------------------------------------

def median_cut(colours, count):
    boxes = [sorted(set(colours))]
    while len(boxes) < count:
        boxes.sort(key=lambda box: max(max(c[k] for c in box) - min(c[k] for c in box)
                                       for k in range(3)) if len(box) > 1 else -1)
        box = boxes.pop()
        if len(box) < 2:
            boxes.append(box)
            break
        channel = max(range(3), key=lambda k: max(c[k] for c in box) - min(c[k] for c in box))
        box.sort(key=lambda c: c[channel])
        boxes += [box[:len(box) // 2], box[len(box) // 2:]]
    return [tuple(sum(c[k] for c in box) // len(box) for k in range(3)) for box in boxes]


def gif(rows):
    """The picture as a 256-colour image whose index 0 is transparent."""
    size = len(rows)
    opaque = []
    for row in rows:
        for r, g, b, a in row:
            if a >= GIF_COVERAGE_THRESHOLD:
                colour = mix(GIF_MATTE, (r, g, b), min(1.0, a))
                opaque.append(tuple(round(c * 255) for c in colour))
    palette = median_cut(opaque, 255)
    nearest = {}

    def index_of(colour):
        if colour not in nearest:
            nearest[colour] = 1 + min(range(len(palette)), key=lambda i: sum(
                (p - q) ** 2 for p, q in zip(palette[i], colour)))
        return nearest[colour]

    indices, it = [], iter(opaque)
    for row in rows:
        for pixel in row:
            indices.append(index_of(next(it)) if pixel[3] >= GIF_COVERAGE_THRESHOLD else 0)
    table = [tuple(round(c * 255) for c in GIF_MATTE)] + palette
    table += [(0, 0, 0)] * (256 - len(table))
    # Pillow writes it as it is: the whole 256-colour table, index 0 transparent, one image that
    # is not interlaced.
    image = Image.new("P", (size, size))
    image.putpalette([c for colour in table for c in colour])
    image.putdata(indices)
    return image


# --- PNG and ICO ------------------------------------------------------------------------------

def png(rows):
    image = Image.new("RGBA", (len(rows), len(rows)))
    image.putdata([tuple(round(c * 255) for c in pixel) for row in rows for pixel in row])
    return image


def save(name, image, **options):
    path = os.path.join(OUT, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, **options)
    print(f"{name}: {os.path.getsize(path)} bytes")


def main():
    global OUT
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--into", default=HERE, help="folder to write to (default: beside this script)")
    OUT = parser.parse_args().into
    for name, layers in [("start", start_picture()), ("stop", stop_picture()),
                         ("reset", reset_picture()), ("exit", exit_picture())]:
        save(f"{name}.gif", gif(render(layers, 32)), format="GIF", transparency=0,
             optimize=False, interlace=False)
        for size in SCALED_SIZES:
            save(f"scaled/{name}-{size}.png", png(render(layers, size)), format="PNG",
                 optimize=True)
    for size in (32, 48, 64, 128, 256):
        save(f"icons/tempulix-{size}.png", png(clock_picture(size)), format="PNG", optimize=True)
    with tempfile.TemporaryDirectory() as work:
        ico = os.path.join(work, "clock.ico")
        subprocess.run(["icotool", "-c", "-b", "24", "-o", ico,
                        os.path.join(OUT, "icons", "tempulix-32.png")], check=True,
                       stderr=subprocess.DEVNULL)
        with open(ico, "rb") as f, open(os.path.join(OUT, "clock.ico"), "wb") as out:
            out.write(f.read())
        print(f"clock.ico: {os.path.getsize(os.path.join(OUT, 'clock.ico'))} bytes")


if __name__ == "__main__":
    sys.exit(main())
