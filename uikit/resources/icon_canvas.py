"""The icon rasteriser: shapes are functions (x, y) -> inside, on a 16-unit
grid, sampled 8 x 8 times a pixel, and a small pixel font."""

SAMPLES = 8


class Canvas:
    def __init__(self, size):
        self.size = size
        self.scale = size / 16.0
        # premultiplied r, g, b, a as floats 0..1
        self.px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(size)] for _ in range(size)]

    def fill(self, shape, colour, alpha=1.0):
        r, g, b = (c / 255.0 for c in colour)
        step = 1.0 / SAMPLES
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(SAMPLES):
                    y = (py + (sy + 0.5) * step) / self.scale
                    for sx in range(SAMPLES):
                        x = (px + (sx + 0.5) * step) / self.scale
                        if shape(x, y):
                            hits += 1
                if hits:
                    a = alpha * hits / (SAMPLES * SAMPLES)
                    p = self.px[py][px]
                    p[0] = r * a + p[0] * (1 - a)
                    p[1] = g * a + p[1] * (1 - a)
                    p[2] = b * a + p[2] * (1 - a)
                    p[3] = a + p[3] * (1 - a)

    def rows(self):
        out = []
        for row in self.px:
            line = []
            for r, g, b, a in row:
                if a <= 0:
                    line.append((0, 0, 0, 0))
                else:
                    line.append((round(255 * r / a), round(255 * g / a),
                                 round(255 * b / a), round(255 * a)))
            out.append(line)
        return out


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                t = (y - y1) / (y2 - y1)
                if x < x1 + t * (x2 - x1):
                    result = not result
        return result
    return inside


def segment(p, q, width):
    (ax, ay), (bx, by) = p, q
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    half = width / 2.0

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        ex, ey = ax + t * dx - x, ay + t * dy - y
        return ex * ex + ey * ey <= half * half
    return inside


def polyline(points, width):
    parts = [segment(points[i], points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: any(p(x, y) for p in parts)


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def outline_rect(x0, y0, x1, y1, w=1):
    return minus(rect(x0, y0, x1, y1), rect(x0 + w, y0 + w, x1 - w, y1 - w))


# A 3 x 5 pixel font for the few letters the icons show.
GLYPHS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "5": ["###", "#..", "##.", "..#", "##."],
    "7": ["###", "..#", ".#.", ".#.", ".#."],
    "8": ["###", "#.#", "###", "#.#", "###"],
    "B": ["##.", "#.#", "##.", "#.#", "##."],
    "C": [".##", "#..", "#..", "#..", ".##"],
    "E": ["###", "#..", "##.", "#..", "###"],
    "F": ["###", "#..", "##.", "#..", "#.."],
    "H": ["#.#", "#.#", "###", "#.#", "#.#"],
    "I": ["###", ".#.", ".#.", ".#.", "###"],
    "N": ["#.#", "###", "###", "#.#", "#.#"],
    "O": [".#.", "#.#", "#.#", "#.#", ".#."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "f": [".##", ".#.", "###", ".#.", ".#."],
    "X": ["#.#", "#.#", ".#.", "#.#", "#.#"],
    "x": ["...", "#.#", ".#.", "#.#", "..."],
    ".": ["...", "...", "...", "...", ".#."],
    "'": [".#.", ".#.", "...", "...", "..."],
    "$": [".##", "##.", ".#.", ".##", "##."],
}


def text(s, x0, y0, advance=4):
    cells = []
    for i, ch in enumerate(s):
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, c in enumerate(line):
                if c == "#":
                    cells.append(rect(x0 + i * advance + gx, y0 + gy,
                                      x0 + i * advance + gx + 1, y0 + gy + 1))
    return lambda x, y: any(c(x, y) for c in cells)


def text_width(s, advance=4):
    return advance * (len(s) - 1) + 3
