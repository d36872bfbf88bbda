#!/usr/bin/env python3
"""Checks a run's JSON Lines events: every line parses and follows
docs/events.schema.json, the stream is well ordered, and the events agree with
the French run log on every result, failure and action decision."""
import argparse
import collections
import json
import os
import re
import sys

try:
    import jsonschema
except ImportError:
    # Debian's python3-jsonschema belongs to Debian's interpreter.
    if os.path.exists("/usr/bin/python3") and sys.executable != "/usr/bin/python3":
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

TIME = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$")


def schema_path():
    here = os.environ.get("ORVANTIS_SOURCE_DIR") or os.path.join(os.path.dirname(__file__), "..", "..", "..")
    return os.path.join(here, "docs", "events.schema.json")


def log_lines(path):
    """The run log's lines without their date prefix and indentation."""
    text = open(path, "rb").read().decode("utf-8", errors="replace")
    return [line.split(" : ", 1)[-1].lstrip("\t") for line in text.split("\r\n") if line]


def read_events(path, errors):
    validator = jsonschema.Draft202012Validator(json.load(open(schema_path(), encoding="utf-8")))
    events = []
    for n, raw in enumerate(open(path, "rb").read().decode("utf-8").split("\n")[:-1], 1):
        try:
            event = json.loads(raw)
        except ValueError as e:
            errors.append(f"line {n} is not JSON: {e}")
            continue
        for problem in validator.iter_errors(event):
            errors.append(f"line {n} breaks the schema: {problem.message}")
        if not TIME.match(event.get("time", "")):
            errors.append(f"line {n}: bad time {event.get('time')!r}")
        events.append(event)
    return events


def check_order(events, errors):
    kinds = [e.get("event") for e in events]
    if kinds[:1] != ["run_start"] or kinds[-2:] != ["run_end", "summary"]:
        errors.append(f"stream must open with run_start and close with run_end, summary: {kinds}")
    if [e.get("seq") for e in events] != list(range(1, len(events) + 1)):
        errors.append("seq does not count the lines from 1")
    if len({e.get("run") for e in events}) != 1:
        errors.append("more than one run identifier")


def check_against_log(events, log, errors):
    """Every "Retour de" line has its directive event (same path, tag, result),
    every " en erreur." line an event whose handler failed, every started or
    switched-off action its decision, every system error line its event."""
    returns, path = collections.Counter(), None
    for line in log:
        if line.startswith("--> /"):
            path = line[4:]
        m = re.fullmatch(r"--> Retour de (\S+) : (-?\d+)", line)
        if m:
            returns[(path, m.group(1), int(m.group(2)))] += 1
    directives = [e for e in events if e["event"] == "directive"]
    seen = collections.Counter((e["path"], e["tag"], e["result"]) for e in directives
                               if e["tag"] not in ("MEMO", "FOR", "WHILE") and e["path"].count("/") > 1)
    if returns != seen:
        errors.append(f"results differ: log {sorted(returns.items())} events {sorted(seen.items())}")
    failed_log = collections.Counter(l[4:-len(" en erreur.")] for l in log if l.endswith(" en erreur."))
    failed_ev = collections.Counter(e["tag"] for e in directives if e["result"] == 0)
    if failed_log != failed_ev:
        errors.append(f"failures differ: log {failed_log} events {failed_ev}")
    actions = [e for e in events if e["event"] == "action"]
    started = [l[len("Démarrage de l'action : "):] for l in log if l.startswith("Démarrage de l'action : ")]
    if started != [a["name"] for a in actions if a["status"] == "run"]:
        errors.append(f"started actions differ: log {started}")
    disabled = sum(1 for l in log if l == "Cette action est désactivé.")
    if disabled != sum(1 for a in actions if a["reason"] == "disabled"):
        errors.append("switched-off actions differ")
    sys_lines = [re.search(r"Erreur système : (\S+) a échoué \(code (-?\d+)", l) for l in log]
    sys_log = sorted((m.group(1), int(m.group(2))) for m in sys_lines if m)
    sys_ev = sorted((e["system_error"]["call"], e["system_error"]["code"]) for e in directives
                    if "system_error" in e)
    if sys_log != sys_ev:
        errors.append(f"system errors differ: log {sys_log} events {sys_ev}")
    return len(sys_ev)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("events")
    p.add_argument("log")
    p.add_argument("--exit", type=int, required=True)
    for name in ("completed", "failed", "skipped"):
        p.add_argument("--" + name, default="")
    p.add_argument("--secret", default="", help="a password that must not appear")
    p.add_argument("--system-errors", type=int, default=0)
    args = p.parse_args()
    errors = []
    events = read_events(args.events, errors)
    if not events:
        errors.append("no event at all")
    else:
        check_order(events, errors)
        count = check_against_log(events, log_lines(args.log), errors)
        if count != args.system_errors:
            errors.append(f"{count} system errors, expected {args.system_errors}")
        summary, end = events[-1], events[-2]
        for name in ("completed", "failed", "skipped"):
            want = [x for x in getattr(args, name).split(",") if x]
            if summary.get(name) != want:
                errors.append(f"summary {name}: {summary.get(name)}, expected {want}")
        if end.get("exit_code") != args.exit or summary.get("exit_code") != args.exit:
            errors.append(f"exit code {end.get('exit_code')}, expected {args.exit}")
    raw = open(args.events, "rb").read().decode("utf-8", errors="replace")
    if args.secret and args.secret in raw:
        errors.append("the password appears in the events")
    for e in errors:
        print(e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
