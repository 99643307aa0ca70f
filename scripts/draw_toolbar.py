#!/usr/bin/env python3
"""Draws the pictures of Tabulon's toolbar (16 x 15 each) and writes res/toolbar.cpp."""
W, H = 16, 15


def grid():
    return [[' '] * W for _ in range(H)]


def put(g, x, y, c):
    if 0 <= x < W and 0 <= y < H:
        g[y][x] = c


def rect(g, x0, y0, x1, y1, border, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge:
                put(g, x, y, border)
            elif fill:
                put(g, x, y, fill)


def line(g, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(n + 1):
        put(g, round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)


def dot(g, x, y, c):
    for dx in (0, 1):
        for dy in (0, 1):
            put(g, x + dx, y + dy, c)


def axes(g):
    line(g, 1, 1, 1, 13, 'k')
    line(g, 1, 13, 14, 13, 'k')


def histogram():
    g = grid()
    for i, top in enumerate((8, 3, 5, 10)):
        rect(g, i * 4, top, i * 4 + 3, 13, 'k', 'n')
    line(g, 0, 13, 15, 13, 'k')
    return g


def boxplot():
    g = grid()
    line(g, 7, 1, 7, 13, 'k')
    line(g, 5, 1, 9, 1, 'k')
    line(g, 5, 13, 9, 13, 'k')
    rect(g, 3, 4, 11, 10, 'k', 'y')
    line(g, 3, 7, 11, 7, 'r')
    return g


def descriptive():
    g = grid()
    line(g, 3, 1, 12, 1, 'n')
    line(g, 3, 2, 12, 2, 'n')
    line(g, 4, 3, 8, 7, 'n')
    line(g, 3, 3, 7, 7, 'n')
    line(g, 8, 7, 4, 11, 'n')
    line(g, 7, 7, 3, 11, 'n')
    line(g, 3, 12, 12, 12, 'n')
    line(g, 3, 13, 12, 13, 'n')
    put(g, 12, 3, 'n')
    put(g, 12, 11, 'n')
    return g


SCATTER_POINTS = ((3, 9), (5, 10), (6, 6), (8, 7), (9, 4), (11, 5), (12, 2), (4, 5))


def scatter():
    g = grid()
    axes(g)
    for x, y in SCATTER_POINTS:
        dot(g, x, y, 'r')
    return g


def regression():
    g = grid()
    axes(g)
    for x, y in SCATTER_POINTS[:-1]:
        dot(g, x, y, 'r')
    line(g, 2, 12, 14, 1, 'b')
    return g


def principal():
    g = grid()
    line(g, 7, 0, 7, 14, 'g')
    line(g, 0, 7, 15, 7, 'g')
    # an ellipse of points along the first axis
    for x, y in ((2, 11), (4, 10), (5, 8), (6, 9), (9, 6), (10, 4), (11, 5), (13, 3), (8, 5), (3, 9)):
        put(g, x, y, 'n')
    line(g, 1, 13, 14, 1, 'r')
    put(g, 13, 1, 'r')
    put(g, 14, 2, 'r')
    return g


def binary():
    g = grid()
    pattern = ((1, 0, 1), (0, 1, 1), (1, 1, 0))
    for r in range(3):
        for c in range(3):
            x0, y0 = 1 + c * 4, 2 + r * 4
            rect(g, x0, y0, x0 + 4, y0 + 4, 'k', 'n' if pattern[r][c] else 'w')
    return g


def multiple():
    g = grid()
    line(g, 7, 0, 7, 14, 'g')
    line(g, 0, 7, 15, 7, 'g')
    for (x, y), c in (((2, 2), 'r'), ((4, 4), 'r'), ((10, 2), 'G'), ((12, 4), 'G'),
                      ((3, 10), 'b'), ((5, 12), 'b'), ((11, 10), 'm'), ((9, 12), 'm')):
        dot(g, x, y, c)
    return g


def classification():
    g = grid()
    leaves = (1, 4, 7, 10, 13)
    for x in leaves:
        put(g, x, 13, 'r')
        put(g, x + 1, 13, 'r')
    # joins: (1,4) at 10, (7,10) at 9, (7-10,13) at 6, all at 2
    def join(xa, ya, xb, yb, level):
        line(g, xa, ya, xa, level, 'n')
        line(g, xb, yb, xb, level, 'n')
        line(g, xa, level, xb, level, 'n')
    join(2, 12, 5, 12, 10)
    join(8, 12, 11, 12, 9)
    join(9, 9, 14, 12, 6)
    join(3, 10, 12, 6, 2)
    return g


PICTURES = [
    ("Histograma", histogram), ("Boxplot", boxplot), ("Estatísticas Descritivas", descriptive),
    ("Diagramas de Dispersão", scatter), ("Regressão Linear", regression),
    ("componentes principais", principal), ("correspondências binárias", binary),
    ("correspondências múltiplas", multiple), ("classificação hierárquica", classification),
]

PALETTE = {'k': 0x000000, 'g': 0x808080, 'l': 0xC0C0C0, 'w': 0xFFFFFF, 'b': 0xFF0000, 'n': 0x800000,
           'r': 0x0000FF, 'm': 0x000080, 'G': 0x008000, 'y': 0x00FFFF}


def main():
    out = ["// The toolbar: its buttons and their pictures (made by scripts/draw_toolbar.py).",
           '#include "res/resource_ids.h"', '#include "res/resources.h"', "",
           "namespace tabulon_res {", "",
           "std::vector<afx::PaletteEntry> Palette() {", "    return {"]
    for k, v in PALETTE.items():
        out.append(f"        {{'{k}', 0x{v:06X}}},")
    out += ["    };", "}", "", "std::vector<afx::ToolbarTemplate> Toolbars() {",
            "    afx::ToolbarTemplate t;", "    t.id = IDR_TOOLBAR;", "    t.buttonWidth = 16;",
            "    t.buttonHeight = 15;",
            "    t.commands = {ID_STATS_HISTOGRAM, ID_STATS_BOXPLOT, ID_STATS_DESCRIPTIVE, ID_SEPARATOR,",
            "                  ID_STATS_SCATTER, ID_STATS_REGRESSION, ID_SEPARATOR,",
            "                  ID_ANALYSIS_PRINCIPAL, ID_ANALYSIS_BINARY, ID_ANALYSIS_MULTIPLE,",
            "                  ID_ANALYSIS_CLASSIFICATION};",
            "    t.pictures = {"]
    for name, fn in PICTURES:
        g = fn()
        out.append(f"        // {name}")
        out.append("        {")
        for row in g:
            out.append(f'            "{"".join(row)}",')
        out.append("        },")
    out += ["    };", "    return {t};", "}", "", "}  // namespace tabulon_res", ""]
    with open("res/toolbar.cpp", "w", encoding="utf-8") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
