#!/usr/bin/env python3
"""Writes a zip archive for the tests from a JSON member list (standard input or a file).

Usage: make_zip.py ARCHIVE [MEMBERS.json]

Each member: {"name": "dir/file.txt", "text": "...", "repeat": 1, "stored": false,
              "date": [2004, 6, 15, 13, 45, 30]}; a name ending in "/" is a folder entry.
{"many": N} adds N small members f1.txt .. fN.txt. Prints one line per file member:
name, compressed size, uncompressed size, CRC-32 (hex), tab-separated.
"""
import json
import sys
import zipfile


def main():
    out = sys.argv[1]
    members = []
    source = open(sys.argv[2], encoding="utf-8") if len(sys.argv) > 2 else sys.stdin
    for m in json.load(source):
        if "many" in m:
            members += [{"name": f"f{i}.txt", "text": f"member {i}\n"} for i in range(1, m["many"] + 1)]
        else:
            members.append(m)
    with zipfile.ZipFile(out, "w") as z:
        for m in members:
            info = zipfile.ZipInfo(m["name"], date_time=tuple(m.get("date", [2004, 6, 15, 13, 45, 30])))
            folder = m["name"].endswith("/")
            info.compress_type = zipfile.ZIP_STORED if folder or m.get("stored") else zipfile.ZIP_DEFLATED
            info.external_attr = ((0o40755 << 16) | 0x10) if folder else (0o644 << 16)
            z.writestr(info, (m.get("text", "") * m.get("repeat", 1)).encode("utf-8"))
    with zipfile.ZipFile(out) as z:
        for info in z.infolist():
            if not info.is_dir():
                print(f"{info.filename}\t{info.compress_size}\t{info.file_size}\t{info.CRC:08x}")


main()
