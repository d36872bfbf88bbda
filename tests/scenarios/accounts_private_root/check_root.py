"""After the run: the private account files hold what the directives left,
and no tool was given the password on its command line."""
import sys

password = "Tr0ub4dor&3"
argv = open("argv.log", encoding="utf-8").read()
if password in argv or password in open("run.log", encoding="utf-8").read():
    sys.exit("the password appeared on a command line or in the log")
if "useradd" not in argv or "-p $y$" not in argv:
    sys.exit("the tools were not run through the recording wrappers:\n" + argv)
passwd = open("root/etc/passwd").read()
group = open("root/etc/group").read()
if "svc:" in passwd or "deploy:" in group:
    sys.exit("the clean-up left svc or deploy behind")
if "staff:x:1002:Bob" not in group:
    sys.exit("an unrelated group changed")
print("accounts ok")
