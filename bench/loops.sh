#!/usr/bin/env bash
# Benchmark (not a test): a 1,000-pass FOR count around one LOG, per pass,
# against the floor of writing the same log lines the plain way (open,
# append, close per line), measured in the same run.
# Usage: bench/loops.sh [BUILD_DIR] [PASSES] [REPEAT]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/native}
passes=${2:-1000}
repeat=${3:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$build/orvantis" "$work" "$passes" "$repeat" <<'PY'
import os, subprocess, sys, time
binary, work, passes, repeat = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])

def write(name, count):
    with open(os.path.join(work, name), "w") as f:
        f.write('<ORVANTIS log="%s.log"><ACTION name="b" version="1">'
                '<FOR type="count" value="%d"><LOG text="passage #_valueline_#"/></FOR>'
                '</ACTION></ORVANTIS>' % (name, count))

def write_flat(name, count):
    """The same LOG written out count times, without a loop."""
    with open(os.path.join(work, name), "w") as f:
        f.write('<ORVANTIS log="%s.log"><ACTION name="b" version="1">%s</ACTION></ORVANTIS>'
                % (name, '<LOG text="passage 1"/>' * count))

def run(name):
    log = os.path.join(work, name + ".log")
    if os.path.exists(log):
        os.remove(log)
    start = time.perf_counter()
    subprocess.run([binary, "/f", name, "/s"], cwd=work, check=False,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start

def floor(lines):
    """The same lines written one by one: open, append, close."""
    path = os.path.join(work, "floor.log")
    if os.path.exists(path):
        os.remove(path)
    start = time.perf_counter()
    for line in lines:
        fd = os.open(path, os.O_WRONLY | os.O_APPEND | os.O_CREAT, 0o644)
        os.write(fd, line)
        os.close(fd)
    return time.perf_counter() - start

write("empty.xml", 1)
write("full.xml", passes + 1)
write_flat("flat0.xml", 1)
write_flat("flat.xml", passes + 1)
empty = min(run("empty.xml") for _ in range(repeat))
full = min(run("full.xml") for _ in range(repeat))
flat = (min(run("flat.xml") for _ in range(repeat)) - min(run("flat0.xml") for _ in range(repeat))) / passes
base = open(os.path.join(work, "empty.xml.log"), "rb").read().split(b"\r\n")
lines = open(os.path.join(work, "full.xml.log"), "rb").read().split(b"\r\n")
extra = [l + b"\r\n" for l in lines[len(base) - 1:]][:len(lines) - len(base)]
per_pass = (full - empty) / passes
floor_pass = min(floor(extra) for _ in range(repeat)) / passes
print("FOR count, %d passes around a LOG (best of %d runs)" % (passes, repeat))
print("  log lines per pass        : %.0f" % (len(extra) / passes))
print("  time per pass             : %.1f us" % (per_pass * 1e6))
print("  floor (open/append/close) : %.1f us" % (floor_pass * 1e6))
print("  ratio                     : %.2fx (goal: at most 1.5x)" % (per_pass / floor_pass))
print("  the same LOG written out  : %.1f us per LOG (7 lines: no loop, path lines)" % (flat * 1e6))
PY
