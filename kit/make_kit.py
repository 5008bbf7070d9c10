#!/usr/bin/env python3
"""Assembles the kit archive MendpackFiles.zip.

The archive holds the launcher (Nightjar.exe and its help page) and the third-party payload that
the wizard's pages install. The payload is not ours: it comes from a folder that the kit maker
supplies, and every member must be there under its exact name.

    make_kit.py --payload DIR --launcher Nightjar.exe --help-page Nightjar.htm --out MendpackFiles.zip
"""
import argparse
import os
import sys
import zipfile

# The members the wizard takes out of the kit, by exact (case-sensitive) name.
PAYLOAD = [
    "GF3D1078.EXE",               # the game's 1078 patch program
    "Turbo.EXE",                  # the CPU slow-down tool
    "Turbo.HLP",
    "dgvoodoo sync glide2x.dll",  # Glide emulator for nVidia chips
    "OS Glide2x.dll",             # Glide emulator for other chips
    "OpenGLid.INI",
    "gfprefs.dat",                # preset single-player preferences
    "mpprefs.dat",                # preset multiplayer preferences
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--payload", required=True, help="folder with the third-party payload files")
    parser.add_argument("--launcher", required=True, help="the built Nightjar.exe")
    parser.add_argument("--help-page", required=True, help="Nightjar.htm")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    present = set(os.listdir(args.payload)) if os.path.isdir(args.payload) else set()
    missing = [name for name in PAYLOAD if name not in present]
    for path in (args.launcher, args.help_page):
        if not os.path.isfile(path):
            missing.append(path)
    if missing:
        print("make_kit: the kit cannot be made; missing:", file=sys.stderr)
        for name in missing:
            near = [p for p in present if p.lower() == os.path.basename(name).lower()]
            hint = " (there is %r: names must match exactly)" % near[0] if near else ""
            print("  %s%s" % (name, hint), file=sys.stderr)
        return 1

    members = [("Nightjar.exe", args.launcher), ("Nightjar.htm", args.help_page)]
    members += [(name, os.path.join(args.payload, name)) for name in PAYLOAD]
    tmp = args.out + ".tmp"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as kit:
        for name, path in members:
            kit.write(path, name)
    os.replace(tmp, args.out)
    print("make_kit: %s with %d members" % (args.out, len(members)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
