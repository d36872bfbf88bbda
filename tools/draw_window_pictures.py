#!/usr/bin/python3
"""Draws the progress window's small pictures (PNG with alpha) into resources/.

Run once; the PNG files are committed and embedded in the program. Each picture
is drawn at four times its size and scaled down, for smooth edges."""
import math
import os
import sys

from PIL import Image, ImageDraw

S = 4  # drawing scale


def canvas(size):
    return Image.new("RGBA", (size * S, size * S), (0, 0, 0, 0))


def finish(img, size, path):
    img.resize((size, size), Image.LANCZOS).save(path)


def error_disc(d, n):
    d.ellipse([1 * S, 1 * S, (n - 1) * S, (n - 1) * S], fill=(210, 40, 40, 255))
    d.line([5 * S, 5 * S, 11 * S, 11 * S], fill="white", width=2 * S)
    d.line([11 * S, 5 * S, 5 * S, 11 * S], fill="white", width=2 * S)


def tick(d, n):
    d.line([2 * S, 8 * S, 6 * S, 12 * S, 14 * S, 3 * S], fill=(40, 160, 50, 255), width=3 * S, joint="curve")


def padlock(d, n):
    d.arc([4 * S, 1 * S, 12 * S, 11 * S], 180, 360, fill=(150, 120, 20, 255), width=2 * S)
    d.line([4 * S + S, 6 * S, 4 * S + S, 8 * S], fill=(150, 120, 20, 255), width=2 * S)
    d.line([11 * S, 6 * S, 11 * S, 8 * S], fill=(150, 120, 20, 255), width=2 * S)
    d.rounded_rectangle([2 * S, 7 * S, 14 * S, 15 * S], radius=S, fill=(235, 190, 30, 255))
    d.rectangle([7 * S, 10 * S, 9 * S, 13 * S], fill=(120, 90, 10, 255))


def sleeping_face(d, n):
    d.ellipse([1 * S, 1 * S, 15 * S, 15 * S], fill=(245, 200, 40, 255), outline=(170, 130, 10, 255), width=S)
    d.line([4 * S, 7 * S, 7 * S, 7 * S], fill=(90, 60, 0, 255), width=S)
    d.line([9 * S, 7 * S, 12 * S, 7 * S], fill=(90, 60, 0, 255), width=S)
    d.ellipse([7 * S, 10 * S, 9 * S, 12 * S], fill=(90, 60, 0, 255))


def circular_arrows(d, n):
    blue = (30, 100, 210, 255)
    d.arc([2 * S, 2 * S, 14 * S, 14 * S], 200, 340, fill=blue, width=2 * S)
    d.arc([2 * S, 2 * S, 14 * S, 14 * S], 20, 160, fill=blue, width=2 * S)
    d.polygon([(12 * S, 1 * S), (15 * S, 6 * S), (10 * S, 6 * S)], fill=blue)
    d.polygon([(4 * S, 15 * S), (1 * S, 10 * S), (6 * S, 10 * S)], fill=blue)


def grey_marker(d, n):
    d.ellipse([5 * S, 5 * S, 11 * S, 11 * S], fill=(190, 190, 190, 255), outline=(150, 150, 150, 255), width=S)


def list_picture(d, n):
    for i, y in enumerate((3, 7, 11)):
        d.rectangle([2 * S, y * S, 4 * S, (y + 2) * S], fill=(60, 60, 60, 255))
        d.rectangle([6 * S, y * S, 14 * S, (y + 2) * S], fill=(90, 90, 90, 255))


def alarm_clock(d, n):
    d.ellipse([3 * S, 4 * S, 21 * S, 22 * S], fill="white", outline=(200, 50, 40, 255), width=2 * S)
    d.pieslice([0, 0, 8 * S, 8 * S], 180, 270, fill=(200, 50, 40, 255))
    d.pieslice([16 * S, 0, 24 * S, 8 * S], 270, 360, fill=(200, 50, 40, 255))
    d.line([12 * S, 13 * S, 12 * S, 8 * S], fill="black", width=S + 2)
    d.line([12 * S, 13 * S, 16 * S, 15 * S], fill="black", width=S + 2)


def numbered_list(d, n):
    for i, y in enumerate((2, 8, 14)):
        d.text((1 * S, y * S), str(i + 1), fill=(40, 40, 120, 255))
        d.rectangle([1 * S, y * S, 4 * S, (y + 4) * S], fill=(40, 40, 140, 255))
        d.rectangle([7 * S, (y + 1) * S, 19 * S, (y + 3) * S], fill=(90, 90, 90, 255))


def command_prompt(d, n):
    d.rectangle([0, 1 * S, 16 * S - 1, 15 * S - 1], fill=(20, 20, 20, 255), outline=(120, 120, 120, 255), width=S)
    d.line([3 * S, 5 * S, 6 * S, 8 * S, 3 * S, 11 * S], fill="white", width=S)
    d.line([8 * S, 11 * S, 12 * S, 11 * S], fill="white", width=S)


PICTURES = [
    ("state_error.png", 16, error_disc),
    ("state_done.png", 16, tick),
    ("state_disabled.png", 16, padlock),
    ("state_ignored.png", 16, sleeping_face),
    ("state_running.png", 16, circular_arrows),
    ("state_event.png", 16, grey_marker),
    ("details_list.png", 16, list_picture),
    ("alarm_clock.png", 24, alarm_clock),
    ("numbered_list.png", 20, numbered_list),
    ("command_prompt.png", 16, command_prompt),
]

if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    os.makedirs(out, exist_ok=True)
    for name, size, draw in PICTURES:
        img = canvas(size)
        draw(ImageDraw.Draw(img), size)
        finish(img, size, os.path.join(out, name))
