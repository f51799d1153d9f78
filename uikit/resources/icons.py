"""The icons of both programs, drawn on the 16-unit grid of icon_canvas."""

import math

from icon_canvas import (circle, minus, polygon, polyline, rect, ring, rrect, segment, text,
                         text_width, union)


# Colours
THEME = (64, 64, 192)
THEME_DARK = (40, 40, 130)
THEME_LIGHT = (176, 176, 232)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
LIGHT_GREY = (210, 210, 210)
PAPER_EDGE = (110, 110, 120)
GREEN = (30, 150, 60)
RED = (200, 40, 40)
ORANGE = (220, 130, 20)
TEAL = (0, 128, 128)
PURPLE = (128, 0, 128)


def page(c):
    """A sheet of paper with a folded corner, from x 3 to 13."""
    body = polygon([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)])
    c.fill(body, PAPER_EDGE)
    c.fill(polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)]), WHITE)
    c.fill(polygon([(9, 1), (13, 5), (9, 5)]), PAPER_EDGE)
    c.fill(polygon([(10, 2.4), (11.6, 4), (10, 4)]), LIGHT_GREY)


def icon_calculator_program(c):
    c.fill(rrect(2, 0, 14, 16, 2), THEME_DARK)
    c.fill(rrect(3, 1, 13, 15, 1.5), THEME)
    c.fill(rect(4, 2, 12, 5), WHITE)
    c.fill(rect(9, 3, 11, 4), GREY)
    for row in range(3):
        for col in range(3):
            colour = ORANGE if (row, col) == (2, 2) else LIGHT_GREY
            c.fill(rect(4 + 3 * col, 6 + 3 * row, 6 + 3 * col, 8 + 3 * row), colour)


def arrows(c, colour, y_top=5, y_bottom=11, x0=2, x1=14):
    """Two opposite arrows: a conversion."""
    c.fill(union(rect(x0 + 2, y_top - 0.75, x1, y_top + 0.75),
                 polygon([(x0, y_top), (x0 + 3, y_top - 2.5), (x0 + 3, y_top + 2.5)])), colour)
    c.fill(union(rect(x0, y_bottom - 0.75, x1 - 2, y_bottom + 0.75),
                 polygon([(x1, y_bottom), (x1 - 3, y_bottom - 2.5), (x1 - 3, y_bottom + 2.5)])),
           colour)


def icon_converter_program(c):
    c.fill(rrect(0, 1, 16, 15, 3), THEME_DARK)
    c.fill(rrect(1, 2, 15, 14, 2.5), THEME)
    arrows(c, WHITE, 5.5, 10.5, 3, 13)


def icon_dropdown_133(c):
    c.fill(polygon([(3, 6), (13, 6), (8, 11)]), BLACK)


def icon_dropdown_134(c):
    c.fill(polygon([(4, 6), (12, 6), (8, 10)]), THEME_DARK)
    c.fill(rect(4, 12, 12, 13), THEME_DARK)


def icon_accept_169(c):
    c.fill(circle(8, 8, 7.5), GREEN)
    c.fill(polyline([(4.5, 8.2), (7, 10.8), (11.6, 5.2)], 2.0), WHITE)


def icon_error_149(c):
    c.fill(circle(8, 8, 7.5), RED)
    c.fill(union(segment((5.2, 5.2), (10.8, 10.8), 2.0),
                 segment((10.8, 5.2), (5.2, 10.8), 2.0)), WHITE)


def icon_default_152(c):
    # A circular arrow: back to the default value.
    arc = minus(ring(8, 8.5, 6, 4), polygon([(8, 8.5), (0, 0), (8, 0)]))
    c.fill(arc, THEME)
    c.fill(polygon([(8.6, 0.4), (8.6, 6.6), (4.6, 3.5)]), THEME)


def icon_file_128(c):
    page(c)
    arrows(c, THEME, 7, 11.5, 5, 11)


def icon_file_182(c):
    page(c)
    c.fill(rect(5, 6, 11, 7), THEME)
    c.fill(rect(5, 8.5, 8, 9.5), GREY)
    c.fill(rect(5, 11, 11, 12), THEME)
    c.fill(rect(9, 8, 11, 10), THEME)


def icon_show_units_162(c):
    for i, y in enumerate((2, 7, 12)):
        c.fill(rect(1, y, 4, y + 3), THEME if i != 1 else LIGHT_GREY)
        c.fill(rect(6, y + 1, 15, y + 2), BLACK if i != 1 else GREY)
    c.fill(polyline([(1.6, 3.6), (2.4, 4.3), (3.6, 2.6)], 0.9), WHITE)
    c.fill(polyline([(1.6, 13.6), (2.4, 14.3), (3.6, 12.6)], 0.9), WHITE)


def tag(c, colour, label):
    c.fill(rrect(0, 2, 16, 14, 2), colour)
    w = text_width(label)
    c.fill(text(label, (16 - w) // 2, 5), WHITE)


def icon_compound_155(c):
    tag(c, TEAL, "1'2")


def icon_date_156(c):
    c.fill(rect(1, 2, 15, 15), PAPER_EDGE)
    c.fill(rect(2, 6, 14, 14), WHITE)
    c.fill(rect(2, 3, 14, 5), RED)
    c.fill(rect(4, 1, 5, 4), BLACK)
    c.fill(rect(11, 1, 12, 4), BLACK)
    for row in range(2):
        for col in range(3):
            c.fill(rect(3 + 4 * col, 7 + 3 * row, 5 + 4 * col, 9 + 3 * row), THEME)


def icon_date_time_157(c):
    c.fill(rect(0, 2, 12, 14), PAPER_EDGE)
    c.fill(rect(1, 6, 11, 13), WHITE)
    c.fill(rect(1, 3, 11, 5), RED)
    c.fill(rect(3, 1, 4, 4), BLACK)
    c.fill(rect(8, 1, 9, 4), BLACK)
    c.fill(rect(2, 7, 4, 9), THEME)
    c.fill(rect(5, 7, 7, 9), THEME)
    c.fill(circle(11, 11, 5), THEME_DARK)
    c.fill(circle(11, 11, 4), WHITE)
    c.fill(union(rect(10.5, 8, 11.5, 11.5), rect(10.5, 10.5, 13.5, 11.5)), BLACK)


def icon_decimal_158(c):
    tag(c, THEME, "1.5")


def icon_hex_159(c):
    tag(c, PURPLE, "HEX")


def icon_oct_160(c):
    tag(c, GREEN, "OCT")


def icon_bin_161(c):
    tag(c, (90, 90, 90), "BIN")


def icon_currency_166(c):
    c.fill(circle(8, 8, 7.5), (200, 150, 20))
    c.fill(circle(8, 8, 6.5), (240, 200, 60))
    c.fill(union(
        polyline([(10.8, 4.6), (8.8, 4.2), (6.8, 4.4), (5.6, 5.6), (6.2, 7.2),
                  (8, 8), (9.8, 8.8), (10.4, 10.4), (9.2, 11.6), (7.2, 11.8), (5.2, 11.4)], 1.6),
        rect(7.4, 2.4, 8.6, 13.6)), (110, 70, 0))


def sheet(c, x0, y0, x1, y1, written=True):
    # A framed white sheet, with three lines of text when written.
    c.fill(rect(x0, y0, x1, y1), PAPER_EDGE)
    c.fill(rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), WHITE)
    if written:
        for y in (y0 + 3, y0 + 5, y0 + 7):
            c.fill(rect(x0 + 2, y, x1 - 2, y + 1), THEME)


def icon_copy(c):
    sheet(c, 1, 1, 10, 12, written=False)
    sheet(c, 6, 4, 15, 15)


def icon_paste(c):
    c.fill(rrect(1, 2, 12, 16, 1), (150, 100, 50))
    c.fill(rect(4, 1, 9, 4), GREY)
    c.fill(rect(5, 0, 8, 2), GREY)
    sheet(c, 6, 6, 15, 16)


def icon_standard_view(c):
    # The 5 x 5 keypad in small: memory, digit and operator keys.
    colours = [[(216, 216, 236), LIGHT_GREY, (236, 216, 216)],
               [(216, 216, 236), LIGHT_GREY, (236, 216, 216)],
               [(216, 236, 216), LIGHT_GREY, (236, 216, 216)]]
    marks = [[PURPLE, BLACK, THEME_DARK], [PURPLE, BLACK, THEME_DARK], [TEAL, BLACK, THEME_DARK]]
    c.fill(rect(0, 0, 16, 16), (173, 173, 228))
    for row in range(3):
        for col in range(3):
            x, y = 1 + 5 * col, 1 + 5 * row
            c.fill(rect(x, y, x + 4, y + 4), colours[row][col])
            c.fill(rect(x + 1, y + 1, x + 3, y + 3), marks[row][col])


def icon_scientific_view(c):
    c.fill(rect(0, 0, 16, 8), PAPER_EDGE)
    c.fill(rect(1, 1, 15, 7), WHITE)
    c.fill(text("fx", 3, 1), THEME)
    c.fill(rect(11, 3, 14, 4), BLACK)
    wave = [(1 + i * 0.5, 11.5 - 3.2 * math.sin((i * 0.5) / 14 * 2 * math.pi))
            for i in range(29)]
    c.fill(polyline(wave, 1.3), THEME)


def icon_open_converter(c):
    icon_converter_program(c)


def icon_edit_unit(c):
    # A pencil over a list row.
    c.fill(rect(1, 11, 15, 15), PAPER_EDGE)
    c.fill(rect(2, 12, 14, 14), WHITE)
    c.fill(rect(3, 12.5, 8, 13.5), THEME)
    c.fill(polygon([(12, 1), (15, 4), (7, 12), (4, 12), (4, 9)]), ORANGE)
    c.fill(polygon([(12, 1), (15, 4), (13.5, 5.5), (10.5, 2.5)]), RED)
    c.fill(polygon([(4, 9), (7, 12), (4, 12)]), BLACK)


def icon_conversions(c):
    # Two units joined by a conversion.
    c.fill(rrect(0, 0, 7, 6, 1), THEME)
    c.fill(rrect(9, 10, 16, 16, 1), THEME)
    c.fill(union(segment((4, 7), (4, 12), 1.2), segment((4, 12), (8, 12), 1.2)), BLACK)
    c.fill(polygon([(7, 9.5), (10, 12), (7, 14.5)]), BLACK)
    c.fill(union(segment((12, 9), (12, 4), 1.2), segment((12, 4), (8, 4), 1.2)), GREY)
    c.fill(polygon([(9, 1.5), (6, 4), (9, 6.5)]), GREY)


def icon_expand_compact(c):
    # Two-line rows beside one-line rows.
    for y in (1, 8):
        c.fill(rect(0, y, 7, y + 6), LIGHT_GREY)
        c.fill(rect(1, y + 1, 6, y + 2), BLACK)
        c.fill(rect(3, y + 4, 6, y + 5), THEME)
    for y in (1, 5, 9, 13):
        c.fill(rect(9, y, 16, y + 3), LIGHT_GREY)
        c.fill(rect(10, y + 1, 12, y + 2), BLACK)
        c.fill(rect(13, y + 1, 15, y + 2), THEME)


ICONS = {
    "128": icon_file_128,
    "133": icon_dropdown_133,
    "134": icon_dropdown_134,
    "149": icon_error_149,
    "152": icon_default_152,
    "155": icon_compound_155,
    "156": icon_date_156,
    "157": icon_date_time_157,
    "158": icon_decimal_158,
    "159": icon_hex_159,
    "160": icon_oct_160,
    "161": icon_bin_161,
    "162": icon_show_units_162,
    "166": icon_currency_166,
    "169": icon_accept_169,
    "182": icon_file_182,
    "calculator": icon_calculator_program,
    "converter": icon_converter_program,
    "conversions": icon_conversions,
    "copy": icon_copy,
    "edit-unit": icon_edit_unit,
    "expand-compact": icon_expand_compact,
    "paste": icon_paste,
    "standard-view": icon_standard_view,
    "scientific-view": icon_scientific_view,
}
