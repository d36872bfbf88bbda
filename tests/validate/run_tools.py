#!/usr/bin/env python3
"""Tests of the administrator tools /validate and /plan on the real program
(natively, or through an emulator such as Wine), and of the schema with
xmllint. One mode per ctest test:

  good    every example, every scenario directive file and the good corpus
          give no finding
  bad     each tests/validate/bad/NAME.xml gives exactly NAME.expected
  schema  xmllint and the validator agree on the good and bad corpus
  nowrite /validate and /plan leave the file system as they found it
  plan    /plan json says which actions a real run then starts"""
import argparse
import glob
import json
import os
import shutil
import stat
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# Scenarios that feed the program wrong input on purpose (what they test is
# the run's handling of it), so the validator rightly reports something.
SCENARIOS_WITH_FINDINGS = {
    "action_disabled": "version Disabled (capital D) and an action without version",
    "base_settings_directive": "settings values that are no number or keyword",
    "check_process_results": "results read before anything stores them, an unknown type",
    "copy_files_and_trees": "a COPY type that does not exist",
    "create_files_dirs_env": "a CREATE type that does not exist",
    "dialogs_unattended": "an INPUTBOX without name",
    "events_stream": "a password attribute on LOG, to show it masked in the events",
    "delete_filters_and_types": "DELETE type File, refused for its case",
    "exec_codes_output": "an EXEC without programlocation",
    "http_download": "HTTP without url and localfile",
    "lib_parameters": "wrong ptype words, a LIB without name or function",
    "log_stop_start": "LOG mode STOP, refused for its case",
    "mail_send": "ports written as placeholders the scenario runner fills in",
    "pause": "period entries with unknown units",
    "plugin_example": "tags declared by plug-ins",
    "plugin_failures": "tags declared by plug-ins",
    "shortcut_links": "openmode Maxi, refused for its case",
    "unknown_tag": "an unknown tag",
    "window_no_desktop": "a blocktagerror on WINDOW, which WINDOW does not read",
    "xml_decl_only": "not well-formed",
    "xml_empty": "an empty file",
    "xml_entity_amplification": "not well-formed",
    "xml_malformed": "not well-formed",
}

# Bad files whose finding the schema language cannot express.
SCHEMA_BLIND = {"action_without_version", "memo_read_before", "exec_read_before"}


class Runner:
    def __init__(self, binary, emulator):
        self.binary = os.path.abspath(binary)
        self.emulator = emulator

    def path(self, p):
        """A Linux path as the program sees it (Wine maps / to drive Z:)."""
        return "Z:" + p.replace("/", "\\") if self.emulator else p

    def run(self, args, cwd, env=None):
        cmd = ([self.emulator] if self.emulator else []) + [self.binary] + args
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.run(cmd, cwd=cwd, env=env or os.environ, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=err, timeout=120)
            out.seek(0)
            text = out.read().decode("utf-8", errors="replace")
        return proc.returncode & 0xFF, text.replace("\r\n", "\n")


def good_files(scenarios=True):
    files = sorted(glob.glob(os.path.join(ROOT, "examples", "*.xml")))
    files += sorted(glob.glob(os.path.join(HERE, "good", "*.xml")))
    for d in sorted(glob.glob(os.path.join(ROOT, "tests", "scenarios", "*"))) if scenarios else []:
        if os.path.basename(d) not in SCENARIOS_WITH_FINDINGS and os.path.exists(os.path.join(d, "directive.xml")):
            files.append(os.path.join(d, "directive.xml"))
    return files


def bad_files():
    return sorted(glob.glob(os.path.join(HERE, "bad", "*.xml")))


def mode_good(r, errors):
    # Under an emulator every start is slow: the scenario files, which test
    # the same portable checks, are read natively only.
    native = not r.emulator
    work = tempfile.mkdtemp(prefix="orv-validate-")
    try:
        for f in good_files(scenarios=native):
            code, out = r.run(["/validate", "/f", r.path(f)], work)
            if code != 0 or out:
                errors.append(f"{f}: exit {code}\n{out}")
        # The scenarios left out must still have something to report.
        for name in sorted(SCENARIOS_WITH_FINDINGS) if native else []:
            f = os.path.join(ROOT, "tests", "scenarios", name, "directive.xml")
            code, out = r.run(["/validate", "/f", r.path(f)], work)
            if not out:
                errors.append(f"{f}: no finding, yet listed as having some")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def mode_bad(r, errors):
    for f in bad_files():
        name = os.path.basename(f)
        expected = open(f[:-4] + ".expected", encoding="utf-8").read()
        code, out = r.run(["/validate", "/f", name], os.path.dirname(f))
        want_code = 2 if ": erreur: " in expected else 0
        if out != expected or code != want_code:
            errors.append(f"{name}: exit {code} (expected {want_code})\n--- expected\n{expected}--- got\n{out}")


def mode_schema(r, errors):
    xsd = os.path.join(ROOT, "schema", "orvantis.xsd")
    for f in [x for x in good_files() if "/scenarios/" not in x]:
        proc = subprocess.run(["xmllint", "--noout", "--schema", xsd, f], capture_output=True, text=True)
        if proc.returncode != 0:
            errors.append(f"schema rejects good file {f}:\n{proc.stderr}")
    for f in bad_files():
        stem = os.path.basename(f)[:-4]
        proc = subprocess.run(["xmllint", "--noout", "--schema", xsd, f], capture_output=True, text=True)
        code, out = r.run(["/validate", "/f", os.path.basename(f)], os.path.dirname(f))
        if not out:
            errors.append(f"validator finds nothing in bad file {f}")
        if stem not in SCHEMA_BLIND and proc.returncode == 0:
            errors.append(f"schema accepts bad file {f}")
        if stem in SCHEMA_BLIND and proc.returncode != 0:
            errors.append(f"schema rejects {f}, listed as beyond it:\n{proc.stderr}")


def listing(top):
    """Every file and folder under top with its size and modification time."""
    seen = []
    for base, dirs, files in os.walk(top):
        for n in sorted(dirs + files):
            p = os.path.join(base, n)
            st = os.lstat(p)
            seen.append((os.path.relpath(p, top), st.st_size, st.st_mtime_ns))
    return sorted(seen)


def mode_nowrite(r, errors):
    top = tempfile.mkdtemp(prefix="orv-nowrite-")
    ro = os.path.join(top, "ro")
    os.mkdir(ro)
    try:
        with open(os.path.join(ro, "directive.xml"), "w", encoding="utf-8") as f:
            f.write('<ORVANTIS log="run.log" actionsfile="sub/actions.ini" locationregistry="HKCU\\Software\\OrvNoWrite">\n'
                    '  <ACTION name="A" version="1"><LOG text="x"/><COPPY/></ACTION>\n'
                    '  <ACTION name="B" versiondate="d:1"/>\n</ORVANTIS>\n')
        env = dict(os.environ, ORVANTIS_REGISTRY=os.path.join(top, "registry.db"),
                   HOME=top, XDG_DATA_HOME=os.path.join(top, "xdg"))
        os.chmod(ro, stat.S_IRUSR | stat.S_IXUSR | stat.S_IRGRP | stat.S_IXGRP)
        before = listing(top)
        journal = r.path(os.path.join(ro, "journal.log"))
        for args in (["/validate"], ["/plan"], ["/plan", "json"]):
            code, out = r.run(args + ["/f", "directive.xml", "/s", "/j", journal], ro, env)
            if not out:
                errors.append(f"{args}: no report")
        after = listing(top)
        if before != after:
            errors.append(f"file system changed:\nbefore {before}\nafter  {after}")
    finally:
        os.chmod(ro, stat.S_IRWXU)
        shutil.rmtree(top, ignore_errors=True)


PLAN_DIRECTIVE = """<ORVANTIS log="run.log" actionsfile="actions.ini">
  <ACTION name="Newer" version="3"><LOG text="newer"/></ACTION>
  <ACTION name="Same" version="3"><LOG text="same"/></ACTION>
  <ACTION name="Never" version="1"><LOG text="never"/></ACTION>
  <ACTION name="Daily" versiondate="d:1"><LOG text="daily"/></ACTION>
  <ACTION name="Fresh" versiondate="d:1"><LOG text="fresh"/></ACTION>
  <ACTION name="Off" version="9" versiondate="disabled"><LOG text="off"/></ACTION>
  <ACTION name="Either" version="2" versiondate="h:1"><LOG text="either"/></ACTION>
</ORVANTIS>
"""
# 2024-03-09 10:00:00 as the program's date number is 1709978400.
PLAN_BASE = ("[Action]\r\nNewer = 2\r\nSame = 3\r\nEither = 2\r\n[ActionDate]\r\n"
             "Daily = 1709890000\r\nFresh = 1709975000\r\nEither = 1709970000\r\n")


def mode_plan(r, errors):
    work = tempfile.mkdtemp(prefix="orv-plan-")
    try:
        open(os.path.join(work, "directive.xml"), "w", encoding="utf-8").write(PLAN_DIRECTIVE)
        open(os.path.join(work, "actions.ini"), "w", encoding="utf-8", newline="").write(PLAN_BASE)
        env = dict(os.environ, ORVANTIS_CLOCK="2024-03-09 10:00:00",
                   ORVANTIS_REGISTRY=os.path.join(work, "registry.db"))
        code, out = r.run(["/plan", "json", "/f", "directive.xml"], work, env)
        plan = json.loads(out)
        planned = {a["name"]: a["verdict"] for a in plan["actions"]}
        want = {"Newer": "run", "Same": "skip", "Never": "run", "Daily": "run", "Fresh": "skip",
                "Off": "disabled", "Either": "run"}
        if code != 0 or planned != want:
            errors.append(f"plan: exit {code}, {planned}, expected {want}")
        if os.listdir(work) != ["directive.xml", "actions.ini"] and sorted(os.listdir(work)) != ["actions.ini", "directive.xml"]:
            errors.append(f"plan wrote files: {os.listdir(work)}")
        if open(os.path.join(work, "actions.ini"), newline="").read() != PLAN_BASE:
            errors.append("plan changed the actions base")
        code, _ = r.run(["/f", "directive.xml", "/s"], work, env)
        log = open(os.path.join(work, "run.log"), encoding="utf-8", errors="replace", newline="").read()
        ran = {n for n in want if "Démarrage de l'action : " + n + "\r\n" in log}
        if ran != {n for n, v in planned.items() if v == "run"}:
            errors.append(f"the run started {sorted(ran)}; the plan said {planned}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--binary", required=True)
    p.add_argument("--emulator", default="")
    p.add_argument("mode", choices=["good", "bad", "schema", "nowrite", "plan"])
    a = p.parse_args()
    errors = []
    globals()["mode_" + a.mode](Runner(a.binary, a.emulator), errors)
    for e in errors:
        print(e)
    print(f"{a.mode}: {'FAILED' if errors else 'passed'}")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
