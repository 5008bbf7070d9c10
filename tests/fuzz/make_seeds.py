#!/usr/bin/env python3
"""Writes small seed archives for our zip library's fuzzer.  usage: make_seeds.py FOLDER"""
import io
import os
import sys
import zipfile

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
text = b"GF3D Mendpack " * 20


def archive(name, method=zipfile.ZIP_DEFLATED, comment=b"", prefix=b"", zip64=False, stream=False):
    buffer = io.BytesIO()
    buffer.write(prefix)

    class Unseekable(io.RawIOBase):
        def writable(self):
            return True

        def write(self, b):
            return buffer.write(b)

    with zipfile.ZipFile(Unseekable() if stream else buffer, "a" if prefix and not stream else "w", method) as z:
        z.comment = comment
        z.writestr("dir/", b"")
        with z.open("dir/a.txt", "w", force_zip64=zip64) as f:
            f.write(text)
        z.writestr("b.bin", bytes(range(256)))
        z.writestr("empty", b"")
    with open(os.path.join(out, name), "wb") as f:
        f.write(buffer.getvalue())


archive("deflated.zip")
archive("stored.zip", method=zipfile.ZIP_STORED)
archive("comment.zip", comment=b"a comment")
archive("zip64.zip", zip64=True)
archive("descriptors.zip", stream=True)
archive("stub.zip", prefix=b"MZ" + b"\0" * 62)
