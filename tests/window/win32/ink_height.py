#!/usr/bin/python3
"""The height in pixels of what is drawn dark in a box of a screenshot (the time's digits in the
label): from the topmost to the lowest row with a dark pixel. Arguments: screenshot, box as
x,y,width,height. Prints the height (0 if nothing is drawn there)."""
import sys

from PIL import Image


def main(path, box):
    x, y, width, height = (int(v) for v in box.split(","))
    image = Image.open(path).convert("L").crop((x, y, x + width, y + height))
    pixels = image.load()
    rows = [row for row in range(height) if any(pixels[col, row] < 128 for col in range(width))]
    print(rows[-1] - rows[0] + 1 if rows else 0)


if __name__ == "__main__":
    main(*sys.argv[1:])
