"""The themed background bitmaps: 8-bit indexed images whose coloured palette
entries the programs recolour to the theme colour."""

import math


def theme_level(rgb):
    """The recolouring's lightness for a palette entry: 255 is the full theme
    colour, 0 white (mirrors the programs' formula)."""
    r, g, b = rgb
    return 255 - math.isqrt((r * r + g * g + b * b) // 3)


def themed_palette():
    """256 coloured entries (never grey, so all of them take the theme's hue)
    whose levels rise from about 5 to 255, in order."""
    palette = []
    for i in range(256):
        target = 255 - i  # root mean square of the entry
        best = None
        for a in range(0, 256):
            b = min(255, a + 36)
            if b == a:
                continue
            rms = math.isqrt((2 * a * a + b * b) // 3)
            if best is None or abs(rms - target) < abs(best[0] - target):
                best = (rms, (a, a, b))
        palette.append(best[1])
    palette.sort(key=theme_level)
    return palette


def nearest_index(levels, level):
    best = 0
    for i, l in enumerate(levels):
        if abs(l - level) < abs(levels[best] - level):
            best = i
    return best


def make_bitmap(width, height, level_at):
    palette = themed_palette()
    levels = [theme_level(c) for c in palette]
    cache = {}
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            level = max(0, min(255, int(round(level_at(x, y)))))
            if level not in cache:
                cache[level] = nearest_index(levels, level)
            row.append(cache[level])
        rows.append(row)
    return palette, rows


def header_level(x, y):
    """Bitmap 108, 80 x 70, repeated side by side behind the calculator's
    displays: a band of the theme colour that pales downwards, with soft
    diagonal ribbons that meet across the repeat."""
    t = y / 69.0
    base = 150 - 118 * t ** 0.8
    ribbon = math.sin(2 * math.pi * (x / 40.0 + y / 35.0))
    return base + 9 * ribbon * (1 - 0.6 * t)


def panel_level(x, y):
    """Bitmap 131, 320 x 96, behind the converter's list and entry panel:
    very pale, with gentle waves that repeat every 96 rows and 320 columns."""
    wave = math.sin(2 * math.pi * (2 * x / 320.0 + y / 96.0))
    wave2 = math.sin(2 * math.pi * (x / 320.0 - 2 * y / 96.0))
    return 22 + 7 * wave + 4 * wave2
