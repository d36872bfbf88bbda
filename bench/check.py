#!/usr/bin/env python3
"""Benchmarks of CHECK (not tests).
1. N CHECK file directives on a present file ("pie"): time per CHECK against
   the floor of writing the same log lines, opening and closing the log file
   around each line (bench/logfloor.c, built here), in the same run. Goal: <= 1.5x.
2. With --ansible: 100 CHECK file directives against a local Ansible playbook
   of 100 stat tasks (connection local, no fact gathering) and a bash script
   of 100 `test -f`. Goal: >= 3,000x faster per check than the playbook.
Usage: bench/check.py [--build DIR] [--checks N] [--ansible]
Runs in a private temp folder (removed at the end) and prints the figures."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def args():
    p = argparse.ArgumentParser()
    p.add_argument("--build", default=os.path.join(ROOT, "build", "native"))
    p.add_argument("--checks", type=int, default=10000)
    p.add_argument("--repeat", type=int, default=3, help="best of N for each figure")
    p.add_argument("--ansible", action="store_true", help="also compare with ansible-playbook and bash")
    return p.parse_args()


def timed(cmd, cwd, env=None):
    start = time.perf_counter()
    subprocess.run(cmd, cwd=cwd, check=True, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def run_checks(binary, work, n):
    """Runs n CHECK file directives; returns (seconds, log path)."""
    body = '<CHECK type="file" location="present.txt" blocktag="pie"/>' * n
    with open(os.path.join(work, "bench.xml"), "w") as f:
        f.write('<ORVANTIS log="bench.log"><ACTION name="b" version="1">%s</ACTION></ORVANTIS>' % body)
    log = os.path.join(work, "bench.log")
    if os.path.exists(log):
        os.remove(log)
    return timed([binary, "/f", "bench.xml", "/s"], work), log


def floor_of(floor_exe, log, work):
    target = os.path.join(work, "floor.log")
    if os.path.exists(target):
        os.remove(target)
    out = subprocess.run([floor_exe, log, target], check=True, stdout=subprocess.PIPE, text=True).stdout
    return float(out)


def bench_against_floor(a, binary, floor_exe, work):
    n = a.checks
    empty = min(run_checks(binary, work, 0)[0] for _ in range(a.repeat))
    full, floor_full, floor_empty = [], [], []
    for _ in range(a.repeat):
        t, log = run_checks(binary, work, n)
        full.append(t)
        floor_full.append(floor_of(floor_exe, log, work))
        _, log0 = run_checks(binary, work, 0)
        floor_empty.append(floor_of(floor_exe, log0, work))
    per_check = (min(full) - empty) / n
    per_floor = (min(floor_full) - min(floor_empty)) / n
    print(f"CHECK file x{n}: {per_check * 1e6:.1f} us per CHECK; log floor {per_floor * 1e6:.1f} us "
          f"for the same lines; ratio {per_check / per_floor:.2f} (goal <= 1.5)")


def bench_against_ansible(a, binary, work):
    n = 100
    per_orv = (min(run_checks(binary, work, n)[0] for _ in range(a.repeat)) -
               min(run_checks(binary, work, 0)[0] for _ in range(a.repeat))) / n
    script = os.path.join(work, "checks.sh")
    with open(script, "w") as f:
        f.write("#!/bin/bash\n" + "test -f present.txt || exit 1\n" * n)
    per_bash = min(timed(["bash", script], work) for _ in range(a.repeat)) / n
    home = os.path.join(work, "ansible-home")
    os.makedirs(os.path.join(home, "tmp"), exist_ok=True)
    env = dict(os.environ, HOME=home, ANSIBLE_LOCAL_TEMP=os.path.join(home, "tmp"),
               ANSIBLE_REMOTE_TEMP=os.path.join(home, "tmp"), ANSIBLE_HOME=home,
               ANSIBLE_NOCOLOR="1", ANSIBLE_RETRY_FILES_ENABLED="0", TMPDIR=os.path.join(home, "tmp"))
    tasks = "".join('    - stat:\n        path: "%s"\n' % os.path.join(work, "present.txt") for _ in range(n))
    with open(os.path.join(work, "play.yml"), "w") as f:
        f.write("- hosts: localhost\n  connection: local\n  gather_facts: false\n  tasks:\n" + tasks)
    cmd = ["ansible-playbook", "-i", "localhost,", "play.yml"]
    per_ansible = min(timed(cmd, work, env) for _ in range(a.repeat)) / n
    print(f"100 file checks: orvantis {per_orv * 1e6:.1f} us, bash test -f {per_bash * 1e6:.1f} us, "
          f"ansible stat {per_ansible * 1e3:.1f} ms per check; orvantis is {per_ansible / per_orv:,.0f}x "
          f"faster than the playbook (goal >= 3,000x)")


def main():
    a = args()
    binary = os.path.join(a.build, "orvantis")
    work = tempfile.mkdtemp(prefix="orv-bench-check-")
    try:
        with open(os.path.join(work, "present.txt"), "w") as f:
            f.write("x")
        floor_exe = os.path.join(work, "logfloor")
        subprocess.run(["cc", "-O2", "-o", floor_exe, os.path.join(ROOT, "bench", "logfloor.c")], check=True)
        bench_against_floor(a, binary, floor_exe, work)
        if a.ansible:
            if not shutil.which("ansible-playbook"):
                sys.exit("ansible-playbook is missing: apt-get install --no-install-recommends ansible-core")
            bench_against_ansible(a, binary, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
