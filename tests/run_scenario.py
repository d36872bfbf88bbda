#!/usr/bin/env python3
"""Runs one scenario folder: copies it to a fresh work folder, runs the program
there (natively, or through an emulator such as Wine) once per entry of
scenario.json's "runs", and compares the run log, the start-up journal, the exit
code and the files with what the scenario expects."""
import argparse
import difflib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

DEFAULT_ARGS = ["/f", "directive.xml", "/s", "/j", "journal.log"]


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--binary", required=True)
    p.add_argument("--helper", default="")
    p.add_argument("--emulator", default="")
    p.add_argument("--work", required=True)
    p.add_argument("--var", action="append", default=[],
                   help="NAME=PATH: {NAME} in a scenario stands for PATH as the program sees it")
    p.add_argument("scenario")
    return p.parse_args()


class Context:
    def __init__(self, args, workdir):
        self.windows = bool(args.emulator)
        self.platform = "win32" if self.windows else "posix"
        self.workdir = workdir
        self.sep = "\\" if self.windows else "/"
        self.cwd = self.program_path(workdir)
        self.helper = self.program_path(args.helper) if args.helper else ""
        # The registry helper is built beside the test helper.
        self.orvreg = self.helper.replace("orvhelper", "orvreg")
        self.vars = {}
        for item in args.var:
            key, _, value = item.partition("=")
            self.vars[key] = self.program_path(value)
        self.server_info = {}  # what the scenario's server printed: {"port": ...}

    def program_path(self, path):
        """A Linux path as the program sees it (Wine maps / to drive Z:)."""
        if not self.windows:
            return path
        return "Z:" + path.replace("/", "\\")

    def for_platform(self, lines):
        """Drops lines marked for the other platform ("@win32 " / "@posix ")."""
        out = []
        for line in lines:
            for tag in ("@win32 ", "@posix "):
                if line.startswith(tag):
                    if tag.strip()[1:] != self.platform:
                        line = None
                    else:
                        line = line[len(tag):]
                    break
            if line is not None:
                out.append(line)
        return out

    def subst(self, text):
        """{helper} is the helper's full path, {helpername} its file name;
        {HELPER} and {HELPERNAME} are the same in capitals; {NAME} for each
        --var NAME=PATH."""
        name = self.helper.replace("\\", "/").rsplit("/", 1)[-1]
        for key, value in self.server_info.items():
            text = text.replace("{" + key + "}", str(value))
        text = (text.replace("{cwd}", self.cwd).replace("{sep}", self.sep)
                .replace("{helper}", self.helper).replace("{HELPER}", self.helper.upper())
                .replace("{helpername}", name).replace("{HELPERNAME}", name.upper())
                .replace("{orvreg}", self.orvreg))
        for key, value in self.vars.items():
            text = text.replace("{" + key + "}", value)
        return text


def read_lines(path):
    """Lines of a log file with the date prefix (up to the first ' : ') removed."""
    if not os.path.exists(path):
        return []
    data = open(path, "rb").read().decode("utf-8", errors="replace")
    lines = data.split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    out = []
    for line in lines:
        pos = line.find(" : ")
        out.append(line[pos + 3:] if pos >= 0 else line)
    return out


def lines_match(expected, actual):
    if len(expected) != len(actual):
        return False
    for e, a in zip(expected, actual):
        if e.startswith("~"):
            if not re.fullmatch(e[1:], a):
                return False
        elif e != a:
            return False
    return True


def compare_lines(what, expected, actual, errors):
    if lines_match(expected, actual):
        return
    diff = difflib.unified_diff(expected, actual, "expected " + what, "actual " + what, lineterm="")
    errors.append("\n".join(diff))


def check_files(ctx, files, errors):
    for name, want in files.items():
        path = os.path.join(ctx.workdir, name)
        if want is None:
            if os.path.lexists(path):
                errors.append(f"{name}: should not exist")
        elif want is True:
            if not os.path.lexists(path):
                errors.append(f"{name}: should exist")
        else:
            if not os.path.isfile(path):
                errors.append(f"{name}: missing")
                continue
            got = open(path, "rb").read()
            want_bytes = ctx.subst(want).encode("utf-8") if isinstance(want, str) else bytes(want)
            if got != want_bytes:
                errors.append(f"{name}: content {got!r} != expected {want_bytes!r}")


def write_before(ctx, before):
    for name, content in before.items():
        path = os.path.join(ctx.workdir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(ctx.subst(content).encode("utf-8"))


def start_server(ctx, server, env):
    """Starts the scenario's loopback server (a script under tests/, then its
    arguments) in the work folder; it prints one JSON line naming its ports
    and stops when its standard input closes. Each value is {name} in the
    expectations and the directive file, and ORVANTIS_TEST_NAME in the environment."""
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), server[0])
    # Debian's interpreter: the one the python3-* packages (aiosmtpd) are installed for.
    python = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
    proc = subprocess.Popen([python, script, ctx.workdir] + server[1:], cwd=ctx.workdir,
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    ctx.server_info = json.loads(proc.stdout.readline() or "{}")
    if not ctx.server_info:
        raise RuntimeError(f"server {server} did not start")
    for name, value in ctx.server_info.items():
        env["ORVANTIS_TEST_" + name.upper()] = str(value)
    directive = os.path.join(ctx.workdir, "directive.xml")
    text = open(directive, "rb").read().decode("latin-1")
    with open(directive, "wb") as f:
        f.write(ctx.subst(text).encode("latin-1"))
    return proc


def stop_server(proc):
    proc.stdin.close()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def run_once(ctx, args, env, index, run, consumed, errors):
    write_before(ctx, run.get("before", {}))
    env = dict(env, **{k: ctx.subst(v) for k, v in run.get("env", {}).items()})
    for hook in run.get("setup", []):
        check_hook(ctx, args, env, hook, errors)
    prog_args = [ctx.subst(a) for a in run.get("args", DEFAULT_ARGS)]
    cmd = ([args.emulator] if args.emulator else []) + [args.binary] + prog_args
    # The output goes to a file, not a pipe: a process the program starts and
    # leaves running (under Wine, its desktop or services) may keep a pipe open
    # long after the program has ended.
    with tempfile.TemporaryFile() as out:
        try:
            proc = subprocess.run(cmd, cwd=ctx.workdir, env=env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.STDOUT,
                                  timeout=run.get("timeout", 120))
        except subprocess.TimeoutExpired:
            errors.append(f"run {index}: timed out")
            return
        out.seek(0)
        proc.stdout = out.read()
    if "exit" in run:
        want = run["exit"] & 0xFF
        if proc.returncode & 0xFF != want:
            errors.append(f"run {index}: exit status {proc.returncode & 0xFF}, expected {want}"
                          f" (from {run['exit']})\n{proc.stdout.decode(errors='replace')}")
    for key, fname in (("log", run.get("logfile", "run.log")), ("journal", "journal.log")):
        lines = read_lines(os.path.join(ctx.workdir, fname))
        new = lines[consumed.get(fname, 0):]
        consumed[fname] = len(lines)
        if key in run:
            expected = [ctx.subst(line) for line in ctx.for_platform(run[key])]
            compare_lines(f"{key} (run {index})", expected, new, errors)
    for fname, expected in run.get("logs", {}).items():
        lines = read_lines(os.path.join(ctx.workdir, fname))
        new = lines[consumed.get(fname, 0):]
        consumed[fname] = len(lines)
        compare_lines(f"{fname} (run {index})", [ctx.subst(x) for x in ctx.for_platform(expected)],
                      new, errors)
    check_files(ctx, run.get("files", {}), errors)
    for hook in run.get("checks", []):
        check_hook(ctx, args, env, hook, errors)
    for target, want in run.get("registry", {}).items():
        check_registry(ctx, args, env, index, target, want, errors)


def check_hook(ctx, args, env, hook, errors):
    """A command (list) run in the work folder that must exit 0: extra checks
    after a run, or preparations ("setup") before it."""
    cmd = [ctx.subst(part) for part in hook]
    proc = subprocess.run(cmd, cwd=ctx.workdir, env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT)
    if proc.returncode != 0:
        errors.append(f"check {cmd} failed:\n{proc.stdout.decode(errors='replace')}")


def query_registry(ctx, args, env, key, name):
    """A registry value as the program's text form, or None when it is missing.
    Natively through orvreg (the program's own store); on Windows with reg.exe."""
    if not ctx.windows:
        helper = os.path.join(os.path.dirname(args.helper), "orvreg")
        proc = subprocess.run([helper, "get", key, name], env=env, stdout=subprocess.PIPE)
        if proc.returncode != 0:
            return None
        return "" if not name else proc.stdout.decode("utf-8").rstrip("\n")
    cmd = [args.emulator, "reg", "query", key] + (["/v", name] if name else [])
    proc = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if proc.returncode != 0:
        return None
    if not name:
        return ""
    for line in proc.stdout.decode("utf-8", errors="replace").splitlines():
        parts = re.split(r"\s{4}", line.strip(), maxsplit=2)
        if len(parts) >= 2 and parts[1].startswith("REG_") and parts[0].lower() == name.lower():
            data = parts[2] if len(parts) > 2 else ""
            if parts[1] == "REG_DWORD":
                return str(int(data, 16))
            if parts[1] == "REG_MULTI_SZ":
                return "".join(" " + x for x in data.split("\\0") if x)
            return data
    return None


def check_registry(ctx, args, env, index, target, want, errors):
    """"KEY|VALUE": the value's expected text, or null when it must not exist;
    "KEY|": "" when the key must exist, null when it must not."""
    key, _, name = target.partition("|")
    got = query_registry(ctx, args, env, key, name)
    if got != want:
        errors.append(f"run {index}: registry {target} is {got!r}, expected {want!r}")


def main():
    args = parse_args()
    scenario = os.path.abspath(args.scenario)
    name = os.path.basename(scenario.rstrip("/"))
    scenario_def = json.load(open(os.path.join(scenario, "scenario.json"), encoding="utf-8"))
    workdir = os.path.join(os.path.abspath(args.work), name)
    shutil.rmtree(workdir, ignore_errors=True)
    shutil.copytree(scenario, workdir)
    ctx = Context(args, workdir)
    if ctx.platform not in scenario_def.get("platforms", ["posix", "win32"]):
        print(f"{name}: not for {ctx.platform}, skipped")
        return 0
    env = dict(os.environ)
    env["ORVANTIS_REGISTRY"] = os.path.join(workdir, "registry.db")
    for k, v in scenario_def.get("env", {}).items():
        env[k] = ctx.subst(v)
    errors = []
    consumed = {}
    server = start_server(ctx, scenario_def["server"], env) if "server" in scenario_def else None
    try:
        for index, run in enumerate(scenario_def["runs"], 1):
            run_once(ctx, args, env, index, run, consumed, errors)
    finally:
        if server:
            stop_server(server)
    if errors:
        print(f"scenario {name} ({ctx.platform}) FAILED in {workdir}:")
        for e in errors:
            print(e)
        return 1
    print(f"scenario {name} ({ctx.platform}) passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
