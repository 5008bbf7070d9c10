#!/usr/bin/env python3
"""Static checks of a Windows program built for the kit, without running it (see --help).
--forbidden-imports names a file of function names, one a line, that the program may not import
(through its import or delay-load table). Exit code 0 when all holds, 1 if not."""
import argparse
import os
import sys

try:
    import pefile
except ImportError:  # Debian's python3-pefile is seen only by Debian's own Python
    if sys.executable == "/usr/bin/python3":
        raise
    os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])

MACHINES = {0x14C: "i386", 0x8664: "x86_64"}
SUBSYSTEMS = {2: "gui", 3: "console"}
# What every Windows from XP on has; a program of the kit may import from nothing else.
XP_SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
                  "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "msvcrt.dll", "version.dll",
                  "ws2_32.dll"}


parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
parser.add_argument("program")
parser.add_argument("--machine", choices=sorted(MACHINES.values()))
parser.add_argument("--subsystem", choices=sorted(SUBSYSTEMS.values()))
parser.add_argument("--max-subsystem-version")
parser.add_argument("--forbidden-imports")
parser.add_argument("--system-dlls-only", action="store_true")
parser.add_argument("--resource-types")
args = parser.parse_args()
pe = pefile.PE(args.program)
tables = getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])
imports = [(t.dll.decode(), i.name.decode() if i.name else None) for t in tables for i in t.imports]
resources = [e.id or "name" for e in pe.DIRECTORY_ENTRY_RESOURCE.entries] if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE") else []
opt = pe.OPTIONAL_HEADER
kind = "PE32+" if opt.Magic == 0x20B else "PE32"
machine = MACHINES.get(pe.FILE_HEADER.Machine, hex(pe.FILE_HEADER.Machine))
subsystem = SUBSYSTEMS.get(opt.Subsystem, str(opt.Subsystem))
version = (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion)
problems = []
if args.machine and (machine, kind) != (args.machine, {"i386": "PE32", "x86_64": "PE32+"}[args.machine]):
    problems.append("machine is %s %s, not %s" % (kind, machine, args.machine))
if args.subsystem and subsystem != args.subsystem:
    problems.append("subsystem is %s, not %s" % (subsystem, args.subsystem))
if args.max_subsystem_version and version > tuple(map(int, args.max_subsystem_version.split("."))):
    problems.append("needs subsystem version %d.%d, above %s" % (*version, args.max_subsystem_version))
if args.forbidden_imports:
    with open(args.forbidden_imports, encoding="utf-8") as f:
        forbidden = {line.strip() for line in f if line.strip() and not line.startswith("#")}
    problems += ["imports %s!%s, which older Windows lacks" % i for i in imports if i[1] in forbidden]
if args.system_dlls_only:
    problems += ["imports from %s, which is not part of Windows" % dll
                 for dll in sorted({dll.lower() for dll, _ in imports} - XP_SYSTEM_DLLS)]
if args.resource_types is not None and set(resources) - {int(t) for t in args.resource_types.split(",") if t}:
    problems.append("carries resource types %s beyond %s" % (resources, args.resource_types))
print("\n".join("%s: %s" % (args.program, p) for p in problems) or
      "%s: %s %s %s, %d imports checked: OK" % (args.program, kind, machine, subsystem, len(imports)))
sys.exit(1 if problems else 0)

