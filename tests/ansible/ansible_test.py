#!/usr/bin/env python3
"""The Ansible role of contrib/ansible against localhost (connection local)
with the native build: a first run applies the directive file (changed), a
second finds the action recorded (not changed), a failing file fails the
host; the facts carry the summary. Ansible's home and temp folders stay in
the test's own folder.
Usage: ansible_test.py ORVANTIS_BINARY WORK_DIR"""
import json
import os
import re
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
    - name: Keep the facts for the test
      ansible.builtin.copy:
        content: "{{ orvantis_summary | to_json }}"
        dest: "{{ facts_file }}"
        mode: "0644"
"""


def playbook(work, binary, directive):
    env = dict(os.environ, ANSIBLE_HOME=os.path.join(work, "home"),
               ANSIBLE_LOCAL_TEMP=os.path.join(work, "tmp-local"),
               ANSIBLE_REMOTE_TEMP=os.path.join(work, "tmp-remote"),
               ANSIBLE_ROLES_PATH=os.path.join(ROOT, "contrib", "ansible", "roles"),
               ANSIBLE_NOCOLOR="1", ANSIBLE_RETRY_FILES_ENABLED="0",
               ANSIBLE_CONFIG=os.path.join(work, "none.cfg"), ANSIBLE_PYTHON_INTERPRETER=PYTHON)
    cmd = ["ansible-playbook", "-i", "localhost,", "-c", "local", os.path.join(work, "play.yml"),
           "-e", json.dumps({"orvantis_directive": directive, "orvantis_binary": binary,
                             "orvantis_work_dir": os.path.join(work, "host"),
                             "facts_file": os.path.join(work, "facts.json")})]
    facts = os.path.join(work, "facts.json")
    if os.path.exists(facts):
        os.remove(facts)
    proc = subprocess.run(cmd, env=env, cwd=work, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=240)
    text = proc.stdout.decode(errors="replace")
    # The recap line: "localhost : ok=7 changed=1 unreachable=0 failed=0 ..."
    recap = re.search(r"^localhost\s*:\s*(.*)$", text, re.M)
    if not recap:
        sys.exit(f"ansible-playbook gave no recap:\n{text}")
    stats = {k: int(v) for k, v in re.findall(r"(\w+)=(\d+)", recap.group(1))}
    summary = json.load(open(facts)) if os.path.exists(facts) else None
    if summary:
        summary = {k: summary[k] for k in ("completed", "failed", "skipped", "interrupted", "exit_code")}
    # The status of the role's last task, which carries the run's status.
    report = re.search(r"TASK \[orvantis : Report the actions\][^\n]*\n(\w+):", text)
    return proc.returncode, stats, summary, report.group(1) if report else None, text


def main():
    binary, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    for name, text in (("good.xml", GOOD), ("bad.xml", BAD), ("play.yml", PLAY), ("none.cfg", "")):
        with open(os.path.join(work, name), "w", encoding="utf-8") as f:
            f.write(text)
    errors = []
    rc, stats, summary, report, text = playbook(work, binary, os.path.join(work, "good.xml"))
    if rc != 0 or report != "changed" or stats["failed"]:
        errors.append(f"first run: rc {rc}, stats {stats}\n{text}")
    if summary != {"completed": ["motd"], "failed": [], "skipped": ["old"], "interrupted": [], "exit_code": 0}:
        errors.append(f"first run facts: {summary}")
    if not os.path.isfile(os.path.join(work, "host", "motd.txt")):
        errors.append("the directive file did not run on the host")
    rc, stats, summary, report, text = playbook(work, binary, os.path.join(work, "good.xml"))
    if rc != 0 or report != "ok" or (summary or {}).get("skipped") != ["motd", "old"]:
        errors.append(f"second run (action recorded): rc {rc}, stats {stats}, facts {summary}\n{text}")
    rc, stats, summary, report, text = playbook(work, binary, os.path.join(work, "bad.xml"))
    if rc == 0 or report != "fatal" or stats["failed"] != 1 or "failed ['broken']" not in text:
        errors.append(f"failing file: rc {rc}, stats {stats}\n{text}")
    for e in errors:
        print(e)
    print("ansible role:", "FAILED" if errors else "passed")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
