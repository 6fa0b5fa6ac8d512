#!/usr/bin/env python3
"""Draws the sample game's login skin pictures into sample/workdir/data/1001/1.0/skin/: the frame's
background with its soft shadow, the caption buttons, the face, check boxes, buttons, edit
frames, row marks and the window icon. Plain geometry with smooth edges; run it again after a
change:

    python3 sample/art/draw_sample_skin.py
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "resources", "images"))
from draw_dialog_images import Canvas, caption_icon, circle, rounded_rect, segment, ring_minus  # noqa: E402

OUT = os.path.join(ROOT, "sample", "workdir", "data", "1001", "1.0", "skin")

WHITE = (255, 255, 255)
BLUE = (0x2F, 0x6F, 0xD6)
TEAL = (0x2E, 0xB3, 0xC6)
INK = (0x33, 0x3B, 0x45)
LINE = (0xD5, 0xDC, 0xE4)

# The frame: a card with a 14 pixel soft shadow around it, a coloured header band of 100 pixels
# with the caption buttons, a white body that the dialog covers (skin\Display.ini offsets).
FRAME_W, FRAME_H = 480, 380
MARGIN, RADIUS, HEADER = 14, 8, 100


def smoothstep(e0, e1, x):
    t = max(0.0, min(1.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def rounded_box_distance(x, y, left, top, right, bottom, r):
    """Signed distance from (x, y) to a rounded rectangle (negative inside)."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - r, (bottom - top) / 2 - r
    qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(qx, 0), max(qy, 0))
    return outside + min(max(qx, qy), 0) - r


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def background():
    c = Canvas(FRAME_W, FRAME_H)
    left, top, right, bottom = MARGIN, MARGIN, FRAME_W - MARGIN, FRAME_H - MARGIN
    for y in range(FRAME_H):
        for x in range(FRAME_W):
            px, py = x + 0.5, y + 0.5
            d = rounded_box_distance(px, py, left, top, right, bottom, RADIUS)
            # Soft shadow: strongest at the edge, gone at the margin, a little lower than the card.
            ds = rounded_box_distance(px, py - 2, left, top, right, bottom, RADIUS)
            shadow = 0.28 * (1 - smoothstep(-2, MARGIN - 2, ds))
            if shadow > 0:
                c.blend(x, y, (0, 0, 0), shadow)
            coverage = max(0.0, min(1.0, 0.5 - d))
            if coverage <= 0:
                continue
            if py < top + HEADER:
                t = (px - left) / (right - left)
                rgb = mix(BLUE, TEAL, t)
                # A lighter sweep across the band.
                glow = max(0.0, 1 - math.hypot(px - (left + 0.78 * (right - left)), py - top) / 170)
                rgb = mix(rgb, WHITE, 0.18 * glow)
            else:
                rgb = WHITE
            # A hairline border around the card.
            if d > -1.0:
                rgb = mix(rgb, LINE if py >= top + HEADER else mix(BLUE, TEAL, 0.5), 0.8)
            c.blend(x, y, rgb, coverage)
    # The emblem: an umbrella in a ring, on the left of the band.
    cx, cy = left + 52, top + 50
    box = (cx - 34, cy - 34, cx + 34, cy + 34)
    c.shape(box, ring_minus(circle(cx, cy, 30), circle(cx, cy, 27.5)), WHITE)
    canopy = lambda x, y: (y <= cy + 1 and (x - cx) ** 2 + (y - cy - 1) ** 2 <= 19 ** 2
                           and not any((x - sx) ** 2 + (y - cy - 3) ** 2 <= 6.6 ** 2
                                       for sx in (cx - 12.6, cx, cx + 12.6)))
    c.shape(box, canopy, WHITE)
    c.shape(box, segment(cx, cy - 1, cx, cy + 15, 1.6), WHITE)
    hook = lambda x, y: (y >= cy + 15 and x <= cx and 2.4 ** 2 <= (x - cx + 4) ** 2 + (y - cy - 15) ** 2 <= 5.6 ** 2)
    c.shape(box, hook, WHITE)
    return c


def frame_buttons():
    """Minimise (row 0) and close (row 1), 28 x 24 each: normal, hot, pushed side by side."""
    c = Canvas(84, 48)
    for row in range(2):
        for state in range(3):
            x, y = state * 28, row * 24
            box = (x, y, x + 28, y + 24)
            face = rounded_rect(x + 1, y + 1, x + 27, y + 23, 3)
            if row == 1 and state:
                c.shape(box, face, (0xE8, 0x4B, 0x4B) if state == 1 else (0xB8, 0x32, 0x32))
            elif state:
                # A translucent white face over the header band.
                for py in range(y, y + 24):
                    for px in range(x, x + 28):
                        if face(px + 0.5, py + 0.5):
                            c.blend(px, py, WHITE, 0.25 if state == 1 else 0.12)
            cx, cy = x + 14, y + 12
            if row == 0:
                c.shape(box, segment(cx - 5, cy + 3, cx + 5, cy + 3, 0.9), WHITE)
            else:
                c.shape(box, segment(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5, 0.9), WHITE)
                c.shape(box, segment(cx - 4.5, cy + 4.5, cx + 4.5, cy - 4.5, 0.9), WHITE)
    return c


def face():
    """22 x 22; the row shows its part (3,3)-(19,19): a person on a soft blue disc."""
    c = Canvas(22, 22)
    c.shape((3, 3, 19, 19), circle(11, 11, 8), (0xD6, 0xE6, 0xFA))
    c.shape((3, 3, 19, 19), circle(11, 8.6, 3.1), (0x5B, 0x8F, 0xD9))
    body = lambda x, y: (x - 11) ** 2 + (y - 19.5) ** 2 <= 6.6 ** 2 and (x - 11) ** 2 + (y - 11) ** 2 <= 8 ** 2
    c.shape((3, 3, 19, 19), body, (0x5B, 0x8F, 0xD9))
    return c


def check_boxes():
    """16 x 16 boxes: normal, hot, selected, hot selected side by side."""
    c = Canvas(64, 16)
    for i in range(4):
        x = i * 16
        selected, hot = i >= 2, i % 2 == 1
        border = BLUE if (selected or hot) else (0xB4, 0xBE, 0xC9)
        c.shape((x, 0, x + 16, 16), rounded_rect(x + 1, 1, x + 15, 15, 3), border)
        fill = BLUE if selected else WHITE
        c.shape((x, 0, x + 16, 16), rounded_rect(x + 2.2, 2.2, x + 13.8, 13.8, 2), fill)
        if selected:
            c.shape((x, 0, x + 16, 16), segment(x + 4.5, 8.2, x + 7, 10.8, 1.1), WHITE)
            c.shape((x, 0, x + 16, 16), segment(x + 7, 10.8, x + 11.6, 5.4, 1.1), WHITE)
    return c


def buttons(width, height, faces):
    """Button faces side by side (normal, hot, pushed, disabled), rounded, drawn nine-grid ready."""
    c = Canvas(width * len(faces), height)
    for i, (fill, border) in enumerate(faces):
        x = i * width
        c.shape((x, 0, x + width, height), rounded_rect(x, 0, x + width, height, 4), border)
        c.shape((x, 0, x + width, height), rounded_rect(x + 1, 1, x + width - 1, height - 1, 3), fill)
    return c


def primary_buttons():
    return buttons(40, 36, [((0x2F, 0x6F, 0xD6), (0x28, 0x62, 0xC0)), ((0x45, 0x84, 0xE6), (0x36, 0x73, 0xD4)),
                            ((0x25, 0x5B, 0xB4), (0x1F, 0x4E, 0x9C)), ((0xA9, 0xBE, 0xDF), (0x9C, 0xB2, 0xD5))])


def secondary_buttons():
    return buttons(40, 28, [((0xF7, 0xF9, 0xFB), (0xC9, 0xD3, 0xDE)), ((0xEA, 0xF2, 0xFD), (0x6A, 0xA6, 0xE8)),
                            ((0xD7, 0xE6, 0xF8), (0x3F, 0x84, 0xD1)), ((0xF2, 0xF2, 0xF2), (0xDD, 0xDD, 0xDD))])


def edit_frames():
    """60 x 34 frames: normal, hot, focused."""
    return buttons(60, 34, [(WHITE, (0xC9, 0xD3, 0xDE)), (WHITE, (0x8F, 0xB6, 0xEA)), (WHITE, BLUE)])


def combo_boxes():
    """60 x 34 boxes, normal, hot, pushed: an edit frame with the drop-down arrow in its right
    30 pixels (drawn with corner='5,5,30,5', so that the arrow is never stretched)."""
    c = edit_frames()
    for i, rgb in enumerate(((0x8A, 0x96, 0xA3), BLUE, (0x25, 0x5B, 0xB4))):
        cx, cy = i * 60 + 45, 17
        c.shape((i * 60, 0, i * 60 + 60, 34), segment(cx - 4, cy - 2, cx, cy + 2, 1.1), rgb)
        c.shape((i * 60, 0, i * 60 + 60, 34), segment(cx, cy + 2, cx + 4, cy - 2, 1.1), rgb)
    return c


def row_marks():
    """16 x 16: selected (a filled disc with a check), unselected (a ring)."""
    c = Canvas(32, 16)
    c.shape((0, 0, 16, 16), circle(8, 8, 7), BLUE)
    c.shape((0, 0, 16, 16), segment(4.6, 8.2, 7, 10.6, 1.1), WHITE)
    c.shape((0, 0, 16, 16), segment(7, 10.6, 11.4, 5.6, 1.1), WHITE)
    c.shape((16, 0, 32, 16), ring_minus(circle(24, 8, 7), circle(24, 8, 5.8)), (0xB4, 0xBE, 0xC9))
    return c


def scroll_thumbs():
    """8 x 24 each: the list's scroll thumb, a slim rounded bar, normal, hot and pushed. Its
    ends are the skin's corners, so a long thumb stretches only its middle."""
    c = Canvas(24, 24)
    for i, rgb in enumerate([(0xC3, 0xCB, 0xD4), (0xA9, 0xB3, 0xBF), (0x8E, 0x99, 0xA6)]):
        c.shape((8 * i, 0, 8 * i + 8, 24), rounded_rect(8 * i + 2, 1, 8 * i + 6, 23, 2), rgb)
    return c


def warning_icon():
    c = Canvas(40, 40)
    c.shape((0, 0, 40, 40), circle(20, 20, 18), (0xF5, 0x9A, 0x23))
    c.shape((0, 0, 40, 40), segment(20, 10, 20, 22, 2.2), WHITE)
    c.shape((0, 0, 40, 40), circle(20, 28.5, 2.4), WHITE)
    return c


def window_icon():
    """The 64 x 64 window icon: the emblem on the band's colours."""
    c = Canvas(64, 64)
    for y in range(64):
        for x in range(64):
            d = math.hypot(x + 0.5 - 32, y + 0.5 - 32)
            cov = max(0.0, min(1.0, 30.5 - d))
            if cov > 0:
                c.blend(x, y, mix(BLUE, TEAL, (x + y) / 128), cov)
    box = (0, 0, 64, 64)
    canopy = lambda x, y: (y <= 31 and (x - 32) ** 2 + (y - 31) ** 2 <= 19 ** 2
                           and not any((x - sx) ** 2 + (y - 33) ** 2 <= 6.6 ** 2 for sx in (19.4, 32, 44.6)))
    c.shape(box, canopy, WHITE)
    c.shape(box, segment(32, 30, 32, 46, 1.8), WHITE)
    c.shape(box, lambda x, y: y >= 46 and x <= 32 and 2.4 ** 2 <= (x - 28) ** 2 + (y - 46) ** 2 <= 6 ** 2, WHITE)
    return c


def ico(canvas):
    """An .ico file holding one 32-bit DIB image (with its AND mask) of the canvas."""
    w, h = canvas.width, canvas.height
    rows = []
    for y in range(h - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("4B", b, g, r, a)
                             for (r, g, b, a) in canvas.px[y * w:(y + 1) * w]))
    mask_stride = ((w + 31) // 32) * 4
    mask = b"\0" * (mask_stride * h)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    image = header + b"".join(rows) + mask
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), 6 + 16)
    return struct.pack("<HHH", 0, 1, 1) + entry + image


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = {
        "background.png": background, "frame_buttons.png": frame_buttons, "default_face.png": face,
        "check_boxes.png": check_boxes, "button_primary.png": primary_buttons,
        "button_secondary.png": secondary_buttons, "edit_frame.png": edit_frames,
        "combo_box.png": combo_boxes, "row_marks.png": row_marks, "warning.png": warning_icon,
        "caption_ico.png": caption_icon, "scroll_thumb.png": scroll_thumbs,
    }
    for name, draw in pictures.items():
        with open(os.path.join(OUT, name), "wb") as out:
            out.write(draw().png())
    with open(os.path.join(OUT, "ico.ico"), "wb") as out:
        out.write(ico(window_icon()))


if __name__ == "__main__":
    main()
