"""Reads back the shortcuts the scenario wrote: desktop entries on Linux, shell
links through lnkinfo (an independent reader) under Wine."""
import os
import struct
import subprocess
import sys

# Paths as the program saw them (Z:\... under Wine), and as this script
# opens them (the scenario's work folder is the current folder).
work, helper = sys.argv[1], sys.argv[2]
deep = os.path.join("links", "sub", "outil.lnk")
top = "again.lnk"
maxi = "maxi.lnk"


def fail(msg):
    print(msg)
    sys.exit(1)


def desktop_keys(path):
    lines = open(path, encoding="utf-8").read().split("\n")
    if lines[0] != "[Desktop Entry]":
        fail(f"{path}: not a desktop entry")
    if not os.access(path, os.X_OK):
        fail(f"{path}: not executable")
    return dict(line.split("=", 1) for line in lines[1:] if "=" in line)


def check_desktop():
    keys = desktop_keys(deep)
    want = {"Type": "Application", "Name": "outil", "Exec": helper + ' sleep "deux mots"',
            "Path": work, "Comment": "Outil d'été", "Icon": helper}
    if keys != want:
        fail(f"deep entry {keys} != {want}")
    keys = desktop_keys(top)
    if keys.get("Comment") != "remplacé":
        fail(f"the second write did not replace the first: {keys}")
    desktop_keys(maxi)


def lnk_fields(path):
    out = subprocess.run(["lnkinfo", path], stdout=subprocess.PIPE, check=True).stdout.decode()
    fields = {}
    for line in out.splitlines():
        key, sep, value = line.strip().partition(":")
        if sep:
            fields[key.strip()] = value.strip()
    # lnkinfo misreads the show command of links written under Wine: read
    # it from the header (offset 0x3C).
    with open(path, "rb") as f:
        header = f.read(0x4C)
    fields["show"] = struct.unpack_from("<I", header, 0x3C)[0]
    fields["icon index"] = struct.unpack_from("<i", header, 0x38)[0]
    return fields


def check_lnk():
    f = lnk_fields(deep)
    checks = {"Description": "Outil d'été", "Command line arguments": 'sleep "deux mots"',
              "Working directory": work, "Icon location": helper}
    for key, want in checks.items():
        if f.get(key, "").lower() != want.lower():
            fail(f"{deep}: {key} is {f.get(key)!r}, expected {want!r}\n{f}")
    if f["show"] != 2:
        fail(f"{deep}: show command {f['show']}, expected minimised")
    if f["icon index"] != 3:
        fail(f"{deep}: icon index {f['icon index']}")
    g = lnk_fields(top)
    if g["show"] != 3 or g.get("Description") != "remplacé":
        fail(f"{top}: {g}")
    if lnk_fields(maxi)["show"] != 1:
        fail(f"{maxi}: Maxi (case-sensitive) should give a normal window")


if open(deep, "rb").read(1) == b"[":
    check_desktop()
else:
    check_lnk()
print("links ok")
