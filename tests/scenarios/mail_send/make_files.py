"""Attachments too large or too binary to keep in the repository, and a folder."""
import os

os.makedirs("folder", exist_ok=True)
with open("data.bin", "wb") as f:
    f.write(bytes(range(256)) * 4)
with open("big.bin", "wb") as f:
    f.truncate(12000000)
