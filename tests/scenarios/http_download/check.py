"""Checks of the http_download scenario: downloaded bytes, no partial file
left, the earlier file kept, attempts and request headers seen by the server."""
import os
import sys

payload = open("payload.bin", "rb").read()
errors = []
for name in ("setup.msi", "sub/chunked.bin", "redirected.bin", "private.bin"):
    if open(os.path.join("dl", name), "rb").read() != payload:
        errors.append(f"dl/{name}: bytes differ from the served file")
if open("dl/good.bin", "rb").read() != b"earlier good file":
    errors.append("dl/good.bin: the earlier file was not kept")
left = sorted(os.listdir("dl"))
if left != ["good.bin", "private.bin", "redirected.bin", "setup.msi", "sub"]:
    errors.append(f"dl holds {left}: a failed download left a file")
requests = open("requests.log").read().splitlines()
for path, count in (("/missing", 3), ("/short.bin", 2), ("/error", 1), ("/stall.bin", 1)):
    seen = sum(1 for r in requests if r.startswith(f"GET {path} "))
    if seen != count:
        errors.append(f"{path}: {seen} attempts, expected {count}")
for r in requests:
    if "accept: */*" not in r or "connection: close" not in r:
        errors.append(f"request without Accept */* or Connection close: {r}")
print("\n".join(errors))
sys.exit(1 if errors else 0)
