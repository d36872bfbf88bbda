#!/usr/bin/env python3
"""The Ansible role of contrib/ansible against localhost (connection local)
with the native build: a first run applies the directive file (changed), a
second finds the action recorded (not changed), a failing file fails the
host; the facts carry the summary. Ansible's home and temp folders stay in
the test's own folder.
Usage: ansible_test.py ORVANTIS_BINARY WORK_DIR"""
import json
import os
import shutil
import subprocess
import sys

# Debian's interpreter runs Ansible's modules on the host, as on a real one.
PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

GOOD = """<?xml version="1.0" encoding="UTF-8"?>
<ORVANTIS log="run.log" actionsfile="actions.ini">
  <ACTION name="motd" version="1"><CREATE type="file" location="motd.txt" value="managed"/></ACTION>
  <ACTION name="old" version="disabled"><LOG text="off"/></ACTION>
</ORVANTIS>
"""
BAD = """<?xml version="1.0" encoding="UTF-8"?>
<ORVANTIS log="run.log" actionsfile="actions.ini">
  <ACTION name="broken" version="1"><CREATE type="file" location="no/such/folder/x.txt" value="x"/></ACTION>
</ORVANTIS>
"""
PLAY = """- hosts: all
  gather_facts: false
  roles: [orvantis]
  post_tasks:
    - name: Show the facts
      ansible.builtin.debug:
        var: orvantis_summary
"""


def playbook(work, binary, directive):
    env = dict(os.environ, ANSIBLE_HOME=os.path.join(work, "home"),
               ANSIBLE_LOCAL_TEMP=os.path.join(work, "tmp-local"),
               ANSIBLE_REMOTE_TEMP=os.path.join(work, "tmp-remote"),
               ANSIBLE_ROLES_PATH=os.path.join(ROOT, "contrib", "ansible", "roles"),
               ANSIBLE_STDOUT_CALLBACK="json", ANSIBLE_NOCOLOR="1", ANSIBLE_RETRY_FILES_ENABLED="0",
               ANSIBLE_CONFIG=os.path.join(work, "none.cfg"), ANSIBLE_PYTHON_INTERPRETER=PYTHON)
    cmd = ["ansible-playbook", "-i", "localhost,", "-c", "local", os.path.join(work, "play.yml"),
           "-e", json.dumps({"orvantis_directive": directive, "orvantis_binary": binary,
                             "orvantis_work_dir": os.path.join(work, "host")})]
    proc = subprocess.run(cmd, env=env, cwd=work, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=240)
    try:
        out = json.loads(proc.stdout)
    except ValueError:
        sys.exit(f"ansible-playbook gave no JSON:\n{proc.stdout.decode()}\n{proc.stderr.decode()}")
    return proc.returncode, out["stats"]["localhost"], out


def summary(out):
    """The orvantis_summary fact as the last play's debug task printed it."""
    for task in reversed(out["plays"][0]["tasks"]):
        result = task["hosts"].get("localhost", {})
        if "orvantis_summary" in result:
            return result["orvantis_summary"]
    return None


def main():
    binary, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    for name, text in (("good.xml", GOOD), ("bad.xml", BAD), ("play.yml", PLAY), ("none.cfg", "")):
        with open(os.path.join(work, name), "w", encoding="utf-8") as f:
            f.write(text)
    errors = []
    rc, stats, out = playbook(work, binary, os.path.join(work, "good.xml"))
    if rc != 0 or stats["changed"] != 1 or stats["failures"]:
        errors.append(f"first run: rc {rc}, stats {stats}")
    if summary(out) != {"completed": ["motd"], "failed": [], "skipped": ["old"], "interrupted": [],
                        "exit_code": 0}:
        errors.append(f"first run facts: {summary(out)}")
    if not os.path.isfile(os.path.join(work, "host", "motd.txt")):
        errors.append("the directive file did not run on the host")
    rc, stats, out = playbook(work, binary, os.path.join(work, "good.xml"))
    if rc != 0 or stats["changed"] != 0:
        errors.append(f"second run (action recorded): rc {rc}, stats {stats}")
    rc, stats, out = playbook(work, binary, os.path.join(work, "bad.xml"))
    if rc == 0 or stats["failures"] != 1:
        errors.append(f"failing file: rc {rc}, stats {stats}")
    for e in errors:
        print(e)
    print("ansible role:", "FAILED" if errors else "passed")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
