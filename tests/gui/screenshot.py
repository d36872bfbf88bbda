#!/usr/bin/env python3
"""SCREENSHOT on a real X display: a picture of known colours covers the
screen, the program captures it (whole screen and rectangles, in each
format) and Pillow, an independent reader, checks sizes, formats and colours.

Natively the test starts an X server of its own (Xvfb); the Windows program
under Wine uses the display of the test run (DISPLAY). Exits 77 (skipped) when no display, Xvfb, ImageMagick or
Pillow can be had.

Usage: screenshot.py [--emulator WINE_RUN] --binary PROGRAM --work DIR"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
try:
    from PIL import Image
except ImportError:
    print("Pillow is missing: skipped")
    sys.exit(SKIP)

RED, GREEN, BLUE, WHITE, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)


def quadrant_colour(x, y, width, height):
    """The pattern: red, green over blue, white, split at the screen's middle."""
    if y < height // 2:
        return RED if x < width // 2 else GREEN
    return BLUE if x < width // 2 else WHITE


def start_xvfb():
    """Starts Xvfb on a free display; returns (process, display name)."""
    fd_read, fd_write = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(fd_write), "-screen", "0", "320x240x24", "-nolisten", "tcp", "-noreset"],
                            pass_fds=(fd_write,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(fd_write)
    number = b""
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline and not number.endswith(b"\n"):
        chunk = os.read(fd_read, 16)
        if not chunk:
            break
        number += chunk
    os.close(fd_read)
    if not number.strip():
        proc.kill()
        return None, None
    return proc, ":" + number.decode().strip()


def screen_size(env, work):
    """The root window's size, read from a capture by ImageMagick."""
    path = os.path.join(work, "root-size.png")
    subprocess.run(["import", "-window", "root", path], env=env, check=True, timeout=30)
    with Image.open(path) as im:
        return im.size


def show_pattern(env, work, size):
    """Shows the quadrant pattern in a window of ImageMagick's display covering
    the whole screen (no window manager places it elsewhere) and answers the
    process. A window, not the root's background: Wine's desktop process may
    paint the root when a Windows program starts, a window on top stays."""
    width, height = size
    im = Image.new("RGB", size, BLACK)
    for (x0, y0, x1, y1), colour in (((0, 0, width // 2, height // 2), RED),
                                     ((width // 2, 0, width, height // 2), GREEN),
                                     ((0, height // 2, width // 2, height), BLUE),
                                     ((width // 2, height // 2, width, height), WHITE)):
        im.paste(colour, (x0, y0, x1, y1))
    path = os.path.join(work, "pattern.png")
    im.save(path)
    return subprocess.Popen(["display", "-immutable", "-borderwidth", "0", "-geometry", "+0+0",
                             "-title", "orv-pattern", path], env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def screen_shows_pattern(env, work, size, name):
    """Reads the screen back with ImageMagick: does it show the quadrant pattern
    at the points the checks use? The copy is kept as name for a look."""
    width, height = size
    path = os.path.join(work, name)
    subprocess.run(["import", "-window", "root", path], env=env, check=True, timeout=30)
    with Image.open(path) as im:
        rgb = im.convert("RGB")
        points = ((5, 5), (width - 6, 5), (5, height - 6), (width - 6, height - 6), (width // 2 - 80, height // 2 - 30))
        return all(rgb.getpixel(p) == quadrant_colour(p[0], p[1], width, height) for p in points)


class Run:
    def __init__(self, args):
        self.args = args
        self.windows = bool(args.emulator)
        self.failures = []

    def path(self, host_path):
        """A host path as the program sees it (Wine maps / to drive Z:)."""
        return "Z:" + host_path.replace("/", "\\") if self.windows else host_path

    def check(self, ok, message):
        if not ok:
            self.failures.append(message)
            print("FAIL: " + message)


def shots(run, work, size):
    """The SCREENSHOT elements: (attributes, expected "Retour de" result)."""
    width, height = size
    cx, cy = width // 2, height // 2
    p = lambda name: run.path(os.path.join(work, name))
    return [
        (f'filepath="{p("full.png")}" mode="full" type="PNG"', 1),
        (f'filepath="{p("full.bmp")}" type="bmp"', 1),
        (f'filepath="{p("full.jpg")}" mode="other" type="jpeg" ratio="9"', 1),
        (f'filepath="{p("rect.png")}" mode="Size" widthposition="{cx - 100}" heightposition="{cy - 50}" '
         f'width="200" height="100" type="png"', 1),
        (f'filepath="{p("rect.gif")}" mode="size" widthposition="{cx - 100}" heightposition="{cy - 50}" '
         f'width="200" height="100" type="gif" ratio="10"', 1),
        (f'filepath="{p("edge.bmp")}" mode="size" widthposition="{width - 50}" heightposition="{height - 20}" '
         f'width="100" height="40" type="bmp"', 1),
        (f'filepath="{p("absent/none.png")}" type="png" blocktagerror="ignore"', -1),
        (f'filepath="{p("off.png")}" mode="size" widthposition="{width + 10}" heightposition="0" '
         f'width="100" height="100" type="png" blocktagerror="ignore"', -1),
    ]


def run_program(run, work, elements):
    body = "\n".join(f"    <SCREENSHOT {attrs}/>" for attrs, _ in elements)
    with open(os.path.join(work, "directive.xml"), "w", encoding="utf-8") as f:
        f.write(f'<?xml version="1.0" encoding="UTF-8"?>\n<ORVANTIS log="run.log">\n'
                f'  <ACTION name="Captures" version="1">\n{body}\n  </ACTION>\n</ORVANTIS>\n')
    cmd = ([run.args.emulator] if run.windows else []) + [run.args.binary, "/f", "directive.xml", "/s", "/j",
                                                          "journal.log"]
    started = time.monotonic()
    proc = subprocess.run(cmd, cwd=work, timeout=120, stdin=subprocess.DEVNULL)
    print(f"program ran in {time.monotonic() - started:.1f} s, exit {proc.returncode}")
    with open(os.path.join(work, "run.log"), encoding="utf-8", errors="replace") as f:
        log = f.read()
    results = [int(line.rsplit(":", 1)[1]) for line in log.splitlines() if "Retour de SCREENSHOT : " in line]
    run.check(results == [want for _, want in elements], f"SCREENSHOT results {results}")
    # Only the rectangle off the screen cannot be captured.
    run.check(log.count("Retour de l'execution de la capture : 1") == 7, "capture lines")
    run.check(log.count("Sauvegarde de l'image capturée : 1") == 7, "save lines")
    run.check(log.count("Retour de l'enregistrement du fichier : 0") == 2, "failed save lines")
    run.check("Zone de capture vide, trop grande ou entièrement hors de l'écran" in log, "off-screen line")


def expect_picture(run, work, name, fmt, size, points, tolerance=0):
    """Opens name with Pillow and checks its format, size and colours at points."""
    path = os.path.join(work, name)
    if not os.path.exists(path):
        run.check(False, f"{name} was not written")
        return
    with Image.open(path) as im:
        run.check(im.format == fmt, f"{name} is {im.format}, not {fmt}")
        run.check(im.size == size, f"{name} is {im.size}, not {size}")
        rgb = im.convert("RGB")
        for (x, y), want in points:
            got = rgb.getpixel((x, y))
            close = all(abs(a - b) <= tolerance for a, b in zip(got, want))
            run.check(close, f"{name} at {x},{y}: {got}, expected {want}")


def check_pictures(run, work, size):
    width, height = size
    corners = [((x, y), quadrant_colour(x, y, width, height))
               for x, y in ((5, 5), (width - 6, 5), (5, height - 6), (width - 6, height - 6))]
    expect_picture(run, work, "full.png", "PNG", size, corners)
    expect_picture(run, work, "full.bmp", "BMP", size, corners)
    expect_picture(run, work, "full.jpg", "JPEG", size, corners, tolerance=16)
    # The rectangle at the middle holds the four colours at its own quadrants.
    inner = [((20, 20), RED), ((180, 20), GREEN), ((20, 80), BLUE), ((180, 80), WHITE)]
    expect_picture(run, work, "rect.png", "PNG", (200, 100), inner)
    expect_picture(run, work, "rect.gif", "JPEG", (200, 100), inner, tolerance=16)
    # Partly off the screen: the requested size, the visible corner white, the rest black.
    expect_picture(run, work, "edge.bmp", "BMP", (100, 40), [((10, 10), WHITE), ((49, 19), WHITE),
                                                            ((50, 10), BLACK), ((10, 20), BLACK), ((99, 39), BLACK)])
    run.check(not os.path.exists(os.path.join(work, "off.png")), "off.png was written")
    run.check(not os.path.exists(os.path.join(work, "absent")), "the missing folder was created")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--emulator", default="")
    ap.add_argument("--binary", required=True)
    ap.add_argument("--work", required=True)
    args = ap.parse_args()
    run = Run(args)
    for tool in ("display", "import"):
        if not shutil.which(tool):
            print(f"ImageMagick's {tool} is missing: skipped")
            return SKIP
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    work = os.path.realpath(args.work)
    env = dict(os.environ)
    xvfb = None
    if run.windows:
        if not env.get("DISPLAY"):
            print("no DISPLAY: skipped")
            return SKIP
    else:
        if not shutil.which("Xvfb"):
            print("Xvfb is missing: skipped")
            return SKIP
        xvfb, env["DISPLAY"] = start_xvfb()
        if not xvfb:
            print("FAIL: Xvfb did not start")
            return 1
    os.environ["DISPLAY"] = env["DISPLAY"]
    size = None
    pattern = None
    try:
        size = screen_size(env, work)
        # The capture is judged against what the screen shows: wait until the
        # pattern is there before the run, and say so when it is gone after.
        pattern = show_pattern(env, work, size)
        for attempt in range(20):
            time.sleep(0.5)
            if screen_shows_pattern(env, work, size, "screen-before.png"):
                break
        else:
            print("FAIL: the screen does not show the pattern (see screen-before.png)")
            return 1
        run_program(run, work, shots(run, work, size))
        if not screen_shows_pattern(env, work, size, "screen-after.png"):
            print("note: the screen no longer shows the pattern after the run (see screen-after.png)")
        check_pictures(run, work, size)
    finally:
        if pattern:
            pattern.kill()
            pattern.wait()
        if xvfb:
            xvfb.kill()
            xvfb.wait()
    if run.failures:
        print(f"{len(run.failures)} check(s) failed; pictures in {work}")
        return 1
    print(f"screen {size[0]}x{size[1]}: every capture checked; pictures in {work}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
