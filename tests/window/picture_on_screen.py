#!/usr/bin/python3
"""Finds a button picture in a screenshot and says which drawing it is: the one drawn at the
size the screen asked for, or the 32 px one enlarged. Arguments: screenshot, the button's box on
it (x,y,width,height in pixels), the drawing at this size (PNG, or the GIF itself at 32 px), the
32 px drawing (GIF).
Prints both mean differences; exit status 0 if the picture on screen is the drawing itself."""
import sys

from PIL import Image


def opaque_pixels(picture):
    width = picture.width
    return [(i % width, i // width, p[:3]) for i, p in enumerate(picture.getdata()) if p[3] == 255]


def difference(shot, pixels, left, top):
    total = 0
    for x, y, colour in pixels:
        total += sum(abs(a - b) for a, b in zip(shot[left + x, top + y], colour))
    return total / (3 * len(pixels))


def main(shot_path, box, drawn_path, small_path):
    shot_image = Image.open(shot_path).convert("RGB")
    shot = shot_image.load()
    bx, by, bw, bh = (int(v) for v in box.split(","))
    if bx + bw > shot_image.width or by + bh > shot_image.height:
        print(f"the box {box} lies outside the {shot_image.width}x{shot_image.height} screenshot")
        return 1
    drawn = Image.open(drawn_path).convert("RGBA")
    size = drawn.width
    enlarged = Image.open(small_path).convert("RGBA").resize((size, size), Image.BILINEAR)
    pixels = opaque_pixels(drawn)
    # The picture sits centred across the button, somewhere above its caption.
    centre = bx + (bw - size) // 2
    best = min((difference(shot, pixels, x, y), x, y)
               for x in range(centre - 2, centre + 3) for y in range(by, by + bh - size + 1))
    _, x, y = best
    against_enlarged = difference(shot, opaque_pixels(enlarged), x, y)
    if drawn_path == small_path:  # the 32 px drawing itself: nothing enlarged to tell apart
        print(f"picture at {x},{y}: mean difference {best[0]:.2f} from the {size} px drawing")
        return 0 if best[0] < 1.0 else 1
    print(f"picture at {x},{y}: mean difference {best[0]:.2f} from the {size} px drawing, "
          f"{against_enlarged:.2f} from the 32 px one enlarged")
    return 0 if best[0] < 1.0 and against_enlarged > 4 * best[0] + 2 else 1


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
