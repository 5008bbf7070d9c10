#!/usr/bin/env python3
"""Python's zipfile listing of each archive named, for the listing test to compare with ours.
usage: infolist.py ARCHIVE...  One line a member: index of the archive, a tab, then
name|size|compressed size|method|yyyymmdd hh:mm|crc|encrypted."""
import sys
import zipfile

METHODS = {0: "Stored", 8: "Defl", 9: "Defl64", 12: "BZip2", 14: "LZMA", 99: "AES"}  # APPNOTE 4.4.5

sys.stdout.reconfigure(encoding="utf-8", errors="surrogateescape")
for index, archive in enumerate(sys.argv[1:]):
    try:
        members = zipfile.ZipFile(archive).infolist()
    except Exception as error:  # shown in the test's message as a listing that differs from ours
        print("%d\t%s" % (index, error))
        continue
    for m in members:
        y, mo, d, h, mi, _ = m.date_time
        print("%d\t%s|%d|%d|%s|%04d%02d%02d %02d:%02d|%08x|%d" % (
            index, m.filename, m.file_size, m.compress_size, METHODS[m.compress_type], y, mo, d, h, mi,
            m.CRC, m.flag_bits & 1))
