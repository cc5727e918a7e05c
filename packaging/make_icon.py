#!/usr/bin/env python3
"""Draws quillon.svg, the desktop icon: behind, one share of random-looking sub-pixel pairs;
in front, two shares stacked, where the letter Q shows.

Run from this directory: ./make_icon.py > quillon.svg
"""
import random

SIZE = 12          # secret pixels per side
CELL = 4           # a secret pixel is two sub-pixels of CELL x 2*CELL
Q = [
    "............",
    "...XXXXXX...",
    "..XX....XX..",
    ".XX......XX.",
    ".XX......XX.",
    ".XX......XX.",
    ".XX......XX.",
    ".XX...XX.XX.",
    "..XX...XXX..",
    "...XXXXXXX..",
    "..........XX",
    "............",
]

def shares(seed):
    rng = random.Random(seed)
    first, second = [], []
    for row in Q:
        a, b = [], []
        for pixel in row:
            pattern = rng.choice([(1, 0), (0, 1)])
            a.append(pattern)
            # White pixels: the same pattern (half black when stacked); black: the complement.
            b.append(pattern if pixel == "." else (1 - pattern[0], 1 - pattern[1]))
        first.append(a)
        second.append(b)
    return first, second

def rects(share, x0, y0, colour):
    out = []
    for y, row in enumerate(share):
        for x, pair in enumerate(row):
            for half, black in enumerate(pair):
                if black:
                    out.append('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>'
                               % (x0 + (2 * x + half) * (CELL // 2), y0 + y * CELL,
                                  CELL // 2, CELL, colour))
    return out

def main():
    first, second = shares(7)
    side = SIZE * CELL
    print('<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">')
    # Behind: one share alone, noise.
    print('<rect x="1" y="1" width="%d" height="%d" fill="#ffffff" stroke="#555555"/>'
          % (side + 2, side + 2))
    print("\n".join(rects(first, 2, 2, "#7a7a7a")))
    # In front: both shares stacked, the Q appears.
    print('<rect x="%d" y="%d" width="%d" height="%d" fill="#ffffff" stroke="#1b2a4a"/>'
          % (11, 11, side + 2, side + 2))
    print("\n".join(rects(first, 12, 12, "#1b2a4a")))
    print("\n".join(rects(second, 12, 12, "#1b2a4a")))
    print("</svg>")

main()
