#!/usr/bin/env python3
"""Draws the dialogs' pictures (the message box's and the verify window's caption icon, button
sprites and state icons) into the PNG files beside this script. The shapes are plain geometry,
rendered with 4 x 4 supersampling so that their edges are smooth; run it again after a change:

    python3 resources/images/draw_dialog_images.py
"""
import math
import os
import struct
import zlib

SAMPLES = 4  # supersampling per axis


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = [(0, 0, 0, 0)] * (width * height)  # straight RGBA

    def blend(self, x, y, rgb, coverage):
        """Draws colour rgb over pixel (x, y) with the given coverage (0..1)."""
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r0, g0, b0, a0 = self.px[y * self.width + x]
        a0 /= 255.0
        a = coverage + a0 * (1 - coverage)
        mix = lambda c, c0: (c * coverage + c0 * a0 * (1 - coverage)) / a if a else 0
        self.px[y * self.width + x] = (round(mix(rgb[0], r0)), round(mix(rgb[1], g0)),
                                       round(mix(rgb[2], b0)), round(a * 255))

    def shape(self, box, inside, rgb):
        """Fills the points of box (left, top, right, bottom) for which inside(x, y) holds."""
        left, top, right, bottom = box
        for y in range(max(0, top), min(self.height, bottom)):
            for x in range(max(0, left), min(self.width, right)):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES):
                            hits += 1
                self.blend(x, y, rgb, hits / (SAMPLES * SAMPLES))

    def png(self):
        raw = b"".join(b"\0" + b"".join(struct.pack("4B", *self.px[y * self.width + x])
                                         for x in range(self.width)) for y in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ---- shapes: predicates over a point -------------------------------------------------------

def rounded_rect(left, top, right, bottom, radius):
    def inside(x, y):
        cx = min(max(x, left + radius), right - radius)
        cy = min(max(y, top + radius), bottom - radius)
        return left <= x < right and top <= y < bottom and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(x0, y0, x1, y1, half_width):
    """A stroke with round ends from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= half_width
    return inside


def ring_minus(outer, inner):
    return lambda x, y: outer(x, y) and not inner(x, y)


# ---- the pictures --------------------------------------------------------------------------

WHITE = (255, 255, 255)


def caption_icon():
    """16 x 16: a white ring around a white dot, readable on the title bar's colours."""
    c = Canvas(16, 16)
    c.shape((0, 0, 16, 16), ring_minus(circle(8, 8, 7.5), circle(8, 8, 5.8)), WHITE)
    c.shape((0, 0, 16, 16), circle(8, 8, 3.2), WHITE)
    return c


def button_sheet():
    """Three 74 x 24 button faces (normal, hot, pushed) at (17,15), (95,15) and (173,15)."""
    c = Canvas(264, 54)
    faces = [((17, 15), (0xC9, 0xD6, 0xE3), (0xF7, 0xF9, 0xFB)),
             ((95, 15), (0x6A, 0xA6, 0xE8), (0xE8, 0xF2, 0xFD)),
             ((173, 15), (0x3F, 0x84, 0xD1), (0xCF, 0xE3, 0xF8))]
    for (x, y), border, fill in faces:
        c.shape((x, y, x + 74, y + 24), rounded_rect(x, y, x + 74, y + 24, 3), border)
        c.shape((x, y, x + 74, y + 24), rounded_rect(x + 1, y + 1, x + 73, y + 23, 2), fill)
    return c


def cross(c, x, y, rgb):
    """A 10 x 10 cross centred in the 40 x 30 cell at (x, y)."""
    cx, cy = x + 20, y + 15
    box = (x, y, x + 40, y + 30)
    c.shape(box, segment(cx - 5, cy - 5, cx + 5, cy + 5, 0.9), rgb)
    c.shape(box, segment(cx - 5, cy + 5, cx + 5, cy - 5, 0.9), rgb)


def parts_sheet():
    """Close button states (40 x 30 at (250,4), (250,36), (250,68)) and the three 56 x 55 state
    icons: warning at (30,172), success at (99,172), reminder at (229,172)."""
    c = Canvas(300, 240)
    cross(c, 250, 4, WHITE)
    c.shape((250, 36, 290, 66), lambda x, y: True, (0xE8, 0x4B, 0x4B))
    cross(c, 250, 36, WHITE)
    c.shape((250, 68, 290, 98), lambda x, y: True, (0xB8, 0x32, 0x32))
    cross(c, 250, 68, WHITE)

    def disc(x, y, rgb):
        c.shape((x, y, x + 56, y + 55), circle(x + 28, y + 27.5, 24), rgb)
        return x + 28, y + 27.5

    # Warning: an exclamation mark on orange.
    cx, cy = disc(30, 172, (0xF5, 0x9A, 0x23))
    c.shape((30, 172, 86, 227), segment(cx, cy - 13, cx, cy + 3, 2.8), WHITE)
    c.shape((30, 172, 86, 227), circle(cx, cy + 11, 3), WHITE)
    # Success: a check mark on green.
    cx, cy = disc(99, 172, (0x3C, 0xB3, 0x71))
    c.shape((99, 172, 155, 227), segment(cx - 11, cy + 1, cx - 3, cy + 9, 2.8), WHITE)
    c.shape((99, 172, 155, 227), segment(cx - 3, cy + 9, cx + 12, cy - 8, 2.8), WHITE)
    # Reminder: an "i" on blue.
    cx, cy = disc(229, 172, (0x3A, 0x8E, 0xE6))
    c.shape((229, 172, 285, 227), circle(cx, cy - 11, 3), WHITE)
    c.shape((229, 172, 285, 227), segment(cx, cy - 3, cx, cy + 13, 2.8), WHITE)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in (("caption_icon.png", caption_icon), ("dialog_buttons.png", button_sheet),
                       ("dialog_parts.png", parts_sheet)):
        with open(os.path.join(here, name), "wb") as out:
            out.write(draw().png())


if __name__ == "__main__":
    main()
