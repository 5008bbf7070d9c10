#!/usr/bin/env python3
"""Static checks of a Windows program built for the kit, without running it.

  check_pe.py [--machine i386|x86_64] [--subsystem gui|console]
              [--max-subsystem-version 5.1] [--forbidden-imports LIST]
              [--resource-types 5,...] [--list] PROGRAM.exe

LIST is a text file with one function name per line (blank lines and lines starting with '#'
are ignored); the program fails the check when it imports any of them by name, whether through
its import table or its delay-load table. --resource-types names the only resource types
(numeric, e.g. 5 for RT_DIALOG) the program may carry. --list prints what was found.
Exit code 0 when every requested check holds, 1 otherwise, 2 when the file is no PE image.
"""
import argparse
import struct
import sys

MACHINES = {0x14C: "i386", 0x8664: "x86_64", 0xAA64: "arm64"}
SUBSYSTEMS = {2: "gui", 3: "console"}


class PeError(Exception):
    pass


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, sections, _, _, _, optional_size, _) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        if self.magic == 0x10B:
            self.kind, dirs_at, self.pointer = "PE32", opt + 96, 4
        elif self.magic == 0x20B:
            self.kind, dirs_at, self.pointer = "PE32+", opt + 112, 8
        else:
            raise PeError("unknown optional header magic %#x" % self.magic)
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem = struct.unpack_from("<H", data, opt + 68)[0]
        count = struct.unpack_from("<I", data, dirs_at - 4)[0]
        self.dirs = [struct.unpack_from("<II", data, dirs_at + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        at = opt + optional_size
        for i in range(sections):
            _, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, at + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw))

    def offset(self, rva):
        for vaddr, size, raw in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raw
        raise PeError("address %#x is in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def _thunks(self, rva):
        fmt, flag = ("<I", 1 << 31) if self.pointer == 4 else ("<Q", 1 << 63)
        while True:
            value = struct.unpack_from(fmt, self.data, self.offset(rva))[0]
            if value == 0:
                return
            yield None if value & flag else self.cstring((value & 0x7FFFFFFF) + 2)
            rva += self.pointer

    def imports(self):
        """(dll, function or None for an ordinal) from the import and delay-load tables."""
        found = []
        rva, _ = self.directory(1)
        while rva:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                break
            dll = self.cstring(name)
            found += [(dll, f) for f in self._thunks(lookup or first)]
            rva += 20
        rva, _ = self.directory(13)
        while rva:
            _, name, _, _, names, _, _, _ = struct.unpack_from("<8I", self.data, self.offset(rva))
            if name == 0:
                break
            dll = self.cstring(name)
            found += [(dll, f) for f in self._thunks(names)]
            rva += 32
        return found

    def resource_types(self):
        rva, _ = self.directory(2)
        if not rva:
            return []
        at = self.offset(rva)
        named, numbered = struct.unpack_from("<HH", self.data, at + 12)
        types = []
        for i in range(named + numbered):
            ident = struct.unpack_from("<I", self.data, at + 16 + 8 * i)[0]
            types.append("name" if ident & 0x80000000 else ident)
        return types


# The system DLLs that every Windows from XP on has; a program of the kit may import nothing else.
XP_SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
                  "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "msvcrt.dll", "version.dll",
                  "ws2_32.dll"}


def read_list(path):
    with open(path, encoding="utf-8") as f:
        return {line.strip() for line in f if line.strip() and not line.startswith("#")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--machine", choices=sorted(set(MACHINES.values())))
    parser.add_argument("--subsystem", choices=sorted(SUBSYSTEMS.values()))
    parser.add_argument("--max-subsystem-version")
    parser.add_argument("--forbidden-imports")
    parser.add_argument("--resource-types")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--system-dlls-only", action="store_true",
                        help="fail on any imported DLL that Windows XP does not ship")
    args = parser.parse_args()

    try:
        with open(args.program, "rb") as f:
            pe = Pe(f.read())
        imports = pe.imports()
        resources = pe.resource_types()
    except (OSError, PeError, struct.error, ValueError) as e:
        print("%s: not a readable PE image: %s" % (args.program, e))
        return 2

    machine = MACHINES.get(pe.machine, hex(pe.machine))
    subsystem = SUBSYSTEMS.get(pe.subsystem, str(pe.subsystem))
    problems = []
    if args.list:
        print("%s: %s, machine %s, subsystem %s %d.%d, resources %s" %
              (args.program, pe.kind, machine, subsystem, *pe.subsystem_version, resources))
        for dll, function in imports:
            print("  %s!%s" % (dll, function or "<ordinal>"))
    if args.machine and machine != args.machine:
        problems.append("machine is %s, not %s" % (machine, args.machine))
    if args.machine == "i386" and pe.kind != "PE32":
        problems.append("a 32-bit program must be PE32, is %s" % pe.kind)
    if args.subsystem and subsystem != args.subsystem:
        problems.append("subsystem is %s, not %s" % (subsystem, args.subsystem))
    if args.max_subsystem_version:
        limit = tuple(int(p) for p in args.max_subsystem_version.split("."))
        if tuple(pe.subsystem_version) > limit:
            problems.append("needs subsystem version %d.%d, above %s" % (*pe.subsystem_version, args.max_subsystem_version))
    if args.forbidden_imports:
        forbidden = read_list(args.forbidden_imports)
        for dll, function in imports:
            if function in forbidden:
                problems.append("imports %s!%s, which older Windows lacks" % (dll, function))
    if args.system_dlls_only:
        for dll in sorted({dll.lower() for dll, _ in imports} - XP_SYSTEM_DLLS):
            problems.append("imports from %s, which is not part of Windows" % dll)
    if args.resource_types is not None:
        allowed = {int(t) for t in args.resource_types.split(",") if t}
        extra = [t for t in resources if t not in allowed]
        if extra:
            problems.append("carries resource types %s beyond %s" % (extra, sorted(allowed)))

    for p in problems:
        print("%s: %s" % (args.program, p))
    if not problems:
        print("%s: %s %s %s, %d imports checked: OK" % (args.program, pe.kind, machine, subsystem, len(imports)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
