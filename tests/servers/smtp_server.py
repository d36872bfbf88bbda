#!/usr/bin/env python3
"""Loopback SMTP test server (aiosmtpd). Usage: smtp_server.py WORKDIR
Prints one JSON line {"port": N, "closed_port": M (nobody listens)}, then accepts mail until stopped. Each
message goes to WORKDIR/mail-N.eml and its envelope to WORKDIR/mail-N.json.
Recipients starting with "refuse" are rejected (550); a message whose subject
holds "REJECT" is refused after its data (554)."""
import asyncio
import json
import os
import socket
import sys
import threading

from aiosmtpd.smtp import SMTP

WORKDIR = sys.argv[1]


class Handler:
    count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("refuse"):
            return "550 5.1.1 Unknown user " + address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if b"REJECT" in envelope.original_content.split(b"\r\n\r\n")[0]:
            return "554 5.6.0 Message refused"
        Handler.count += 1
        base = os.path.join(WORKDIR, f"mail-{Handler.count}")
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json", "w") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos}, f)
        return "250 OK queued"


async def serve():
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: SMTP(Handler(), enable_SMTPUTF8=True),
                                      "127.0.0.1", 0)
    spare = socket.socket()
    spare.bind(("127.0.0.1", 0))
    closed = spare.getsockname()[1]
    spare.close()
    print(json.dumps({"port": server.sockets[0].getsockname()[1], "closed_port": closed}), flush=True)
    stop = asyncio.Event()
    threading.Thread(target=lambda: (sys.stdin.read(), loop.call_soon_threadsafe(stop.set)),
                     daemon=True).start()
    await stop.wait()
    server.close()


if __name__ == "__main__":
    asyncio.run(serve())
