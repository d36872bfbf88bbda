"""Checks of the mail_send scenario: what the SMTP server received, parsed
with Python's email package."""
import email
import email.policy
import json
import sys

errors = []


def expect(what, got, want):
    if got != want:
        errors.append(f"{what}: {got!r}, expected {want!r}")


def load(n):
    msg = email.message_from_bytes(open(f"mail-{n}.eml", "rb").read(), policy=email.policy.default)
    return msg, json.load(open(f"mail-{n}.json"))


msg, env = load(1)
expect("envelope sender", env["from"], "deploy@example.test")
expect("envelope recipients", env["to"], ["admin@example.test", "second@example.test",
                                          "copie@example.test", "hidden@example.test"])
expect("From", str(msg["From"]), "Équipe Déploiement <deploy@example.test>")
expect("To", str(msg["To"]), "admin@example.test, second@example.test")
expect("Cc", str(msg["Cc"]), "copie@example.test")
expect("Bcc", msg["Bcc"], None)
expect("hidden address in headers", b"hidden" in open("mail-1.eml", "rb").read().split(b"\r\n\r\n")[0], False)
expect("Subject", str(msg["Subject"]), "Rapport d'installation – été")
expect("X-Mailer", str(msg["X-Mailer"]), "Quillmarsh_Orvantis")
expect("Date present", msg["Date"] is not None, True)
parts = list(msg.iter_parts())
expect("body", parts[0].get_content(), "Bonjour,\r\nL'installation est terminée : 100 %.")
expect("body charset", parts[0].get_content_charset(), "utf-8")
names = [(p.get_filename(), p.get_content()) for p in parts[1:]]
expect("attachments", names, [("Résumé élève.txt", open("rapport.txt", "rb").read()),
                              ("data.bin", open("data.bin", "rb").read())])

msg, env = load(2)
expect("mail 2 recipients", env["to"], ["one@example.test"])
expect("mail 2 subject", str(msg["Subject"]), "Plain subject")
parts = list(msg.iter_parts())
expect("mail 2 charset", parts[0].get_content_charset(), "us-ascii")
expect("mail 2 attachment", parts[1].get_filename(), "rapport.txt")

import os
expect("mails received", sorted(f for f in os.listdir(".") if f.endswith(".eml")),
       ["mail-1.eml", "mail-2.eml"])
print("\n".join(errors))
sys.exit(1 if errors else 0)
