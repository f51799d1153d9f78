#!/usr/bin/env python3
"""Draws the two programs' icons for the desktop's hicolor icon theme.

    python3 data/icons/make_icons.py

Writes hicolor/NxN/apps/com.quorvane.PqConverter.png and
com.quorvane.PqCalculator.png for every size the desktop asks for, and the
same drawings as scalable SVG in hicolor/scalable/apps/. The shapes are the
ones the programs show in their windows (uikit/resources/make_resources.py,
whose drawing code this reuses), so the menu and the window agree. The output
is the same on every run and is committed.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "uikit", "resources"))

import make_resources as mr  # noqa: E402

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
PROGRAMS = {
    "com.quorvane.PqCalculator": mr.icon_calculator_program,
    "com.quorvane.PqConverter": mr.icon_converter_program,
}


def hex_colour(rgb):
    return "#%02x%02x%02x" % rgb


def svg_rect(x0, y0, x1, y1, colour, r=0):
    corner = ' rx="%g"' % r if r else ""
    return '  <rect x="%g" y="%g" width="%g" height="%g"%s fill="%s"/>' % (
        x0, y0, x1 - x0, y1 - y0, corner, hex_colour(colour))


def svg_polygon(points, colour):
    return '  <polygon points="%s" fill="%s"/>' % (
        " ".join("%g,%g" % p for p in points), hex_colour(colour))


def calculator_svg():
    shapes = [svg_rect(2, 0, 14, 16, mr.THEME_DARK, 2),
              svg_rect(3, 1, 13, 15, mr.THEME, 1.5),
              svg_rect(4, 2, 12, 5, mr.WHITE),
              svg_rect(9, 3, 11, 4, mr.GREY)]
    for row in range(3):
        for col in range(3):
            colour = mr.ORANGE if (row, col) == (2, 2) else mr.LIGHT_GREY
            shapes.append(svg_rect(4 + 3 * col, 6 + 3 * row, 6 + 3 * col, 8 + 3 * row, colour))
    return shapes


def converter_svg():
    y_top, y_bottom, x0, x1 = 5.5, 10.5, 3, 13
    return [svg_rect(0, 1, 16, 15, mr.THEME_DARK, 3),
            svg_rect(1, 2, 15, 14, mr.THEME, 2.5),
            svg_rect(x0 + 2, y_top - 0.75, x1, y_top + 0.75, mr.WHITE),
            svg_polygon([(x0, y_top), (x0 + 3, y_top - 2.5), (x0 + 3, y_top + 2.5)], mr.WHITE),
            svg_rect(x0, y_bottom - 0.75, x1 - 2, y_bottom + 0.75, mr.WHITE),
            svg_polygon([(x1, y_bottom), (x1 - 3, y_bottom - 2.5), (x1 - 3, y_bottom + 2.5)], mr.WHITE)]


SVGS = {
    "com.quorvane.PqCalculator": calculator_svg,
    "com.quorvane.PqConverter": converter_svg,
}


def main():
    for size in SIZES:
        folder = os.path.join(HERE, "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        # Large icons need fewer samples a pixel to be smooth.
        mr.SAMPLES = 8 if size <= 64 else 4
        for name, draw in PROGRAMS.items():
            canvas = mr.Canvas(size)
            draw(canvas)
            mr.write_png(os.path.join(folder, name + ".png"), size, canvas.rows())
    folder = os.path.join(HERE, "hicolor", "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    for name, shapes in SVGS.items():
        with open(os.path.join(folder, name + ".svg"), "w") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
            f.write('<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" '
                    'viewBox="0 0 16 16">\n')
            f.write("\n".join(shapes()) + "\n</svg>\n")


if __name__ == "__main__":
    main()
