#!/usr/bin/env python3
"""Fails when a PE program imports anything Windows 95 OSR2 does not export.

KERNEL32, ADVAPI32 and MSVCRT are checked against the export lists in
../shared/win9x-exports (name, first Windows 9x release); every other DLL
against the reviewed list in scripts/pe-imports-reviewed.tsv, where each
import carries its documented minimum version. Accepted levels are 95 and
OSR2; an import missing from the data, newer than OSR2, or by ordinal where
no reviewed entry names that ordinal fails.

The imports are read from the PE file itself (import directory and delay
import directory), so nothing depends on the layout of objdump's output.

Usage:
  check-pe-imports.py [--exports DIR] [--reviewed FILE] PROGRAM.exe ...
  check-pe-imports.py [...] --imports LIST.tsv   (DLL<TAB>name or #ordinal)
  check-pe-imports.py --self-test
"""

import argparse
import os
import struct
import sys
import tempfile

LEVELS = ["95", "OSR2", "98", "98SE", "ME"]
ACCEPTED = {"95", "OSR2"}
SCRIPT_DIR = os.path.dirname(os.path.abspath(__file__))
DEFAULT_EXPORTS = os.path.join(SCRIPT_DIR, "..", "..", "shared",
                               "win9x-exports")
DEFAULT_REVIEWED = os.path.join(SCRIPT_DIR, "pe-imports-reviewed.tsv")


class PeError(Exception):
    pass


def read_pe_imports(path):
    """Returns [(dll, name or '#ordinal')] in file order."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ" or len(data) < 0x40:
        raise PeError("not a PE file (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("not a PE file (no PE signature)")
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from(
        "<HHIIIHH", data, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic == 0x10B:
        thunk_size, directories = 4, optional + 96
    elif magic == 0x20B:
        thunk_size, directories = 8, optional + 112
    else:
        raise PeError("unknown optional header magic %#x" % magic)
    count = struct.unpack_from("<I", data, directories - 4)[0]
    table = optional + optional_size
    section_list = []
    for i in range(sections):
        (virtual_size, virtual_address, raw_size,
         raw_offset) = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        section_list.append((virtual_address, max(virtual_size, raw_size),
                             raw_offset, raw_size))

    def offset(rva):
        for address, size, raw, raw_size in section_list:
            if address <= rva < address + size:
                if rva - address >= raw_size:
                    raise PeError("RVA %#x is not in the file" % rva)
                return raw + rva - address
        raise PeError("RVA %#x is in no section" % rva)

    def c_string(rva):
        start = offset(rva)
        end = data.index(b"\0", start)
        return data[start:end].decode("ascii", "replace")

    def directory(index):
        if index >= count:
            return 0, 0
        return struct.unpack_from("<II", data, directories + 8 * index)

    ordinal_flag = 1 << (8 * thunk_size - 1)
    thunk_format = "<I" if thunk_size == 4 else "<Q"

    def thunks(dll, rva):
        found = []
        at = offset(rva)
        while True:
            value = struct.unpack_from(thunk_format, data, at)[0]
            if value == 0:
                return found
            if value & ordinal_flag:
                found.append((dll, "#%d" % (value & 0xFFFF)))
            else:
                found.append((dll, c_string((value & 0x7FFFFFFF) + 2)))
            at += thunk_size

    imports = []
    rva, size = directory(1)
    if rva:
        at = offset(rva)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", data, at)
            if name == 0:
                break
            dll = c_string(name)
            imports += thunks(dll, lookup or first)
            at += 20
    rva, size = directory(13)
    if rva:
        at = offset(rva)
        while True:
            fields = struct.unpack_from("<IIIIIIII", data, at)
            if fields[1] == 0:
                break
            attributes, name, _, _, names = fields[:5]
            # Old-style descriptors hold addresses instead of RVAs.
            base = 0 if attributes & 1 else image_base(data, optional, magic)
            imports += thunks(c_string(name - base), names - base)
            at += 32
    return imports


def image_base(data, optional, magic):
    if magic == 0x10B:
        return struct.unpack_from("<I", data, optional + 28)[0]
    return struct.unpack_from("<Q", data, optional + 24)[0]


def read_list_imports(path):
    imports = []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) < 2:
                raise PeError("%s:%d: expected DLL<TAB>name" % (path, number))
            imports.append((fields[0], fields[1]))
    return imports


def load_exports(folder):
    """{DLL (upper case): {name: level}} from NAME.DLL.tsv files."""
    exports = {}
    if not os.path.isdir(folder):
        raise PeError("export lists not found: %s" % folder)
    for entry in sorted(os.listdir(folder)):
        if not entry.upper().endswith(".TSV"):
            continue
        names = {}
        with open(os.path.join(folder, entry)) as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                fields = line.rstrip("\n").split("\t")
                if len(fields) >= 2:
                    names[fields[0]] = fields[1].strip()
        exports[entry[:-4].upper()] = names
    if not exports:
        raise PeError("no *.tsv export lists in %s" % folder)
    return exports


def load_reviewed(path):
    """{DLL: {name or '#ordinal': level}} from DLL<TAB>name<TAB>level[...]."""
    reviewed = {}
    with open(path) as f:
        for number, line in enumerate(f, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 3 or fields[2] not in LEVELS:
                raise PeError("%s:%d: expected DLL<TAB>name<TAB>one of %s"
                              % (path, number, " ".join(LEVELS)))
            reviewed.setdefault(fields[0].upper(), {})[fields[1]] = fields[2]
    return reviewed


def check(imports, exports, reviewed):
    """Returns a list of (dll, name, verdict) and whether all passed."""
    results = []
    passed = True
    for dll, name in imports:
        key = dll.upper()
        if key in exports:
            source = "export list"
            if name.startswith("#"):
                level = None
                why = "by ordinal; the export list names only names"
            else:
                level = exports[key].get(name)
                why = "not exported by Windows 9x at all"
        elif key in reviewed:
            source = "reviewed list"
            level = reviewed[key].get(name)
            why = "not in the reviewed list"
        else:
            source = None
            level = None
            why = "unknown DLL (add it to the reviewed list)"
        if level is None:
            verdict, ok = "FAIL: " + why, False
        elif level in ACCEPTED:
            verdict, ok = "ok (%s, %s)" % (level, source), True
        else:
            verdict = "FAIL: first exported by Windows %s (%s)" % (level,
                                                                  source)
            ok = False
        passed = passed and ok
        results.append((dll, name, verdict))
    return results, passed


def run(paths, list_files, exports_dir, reviewed_file):
    exports = load_exports(exports_dir)
    reviewed = load_reviewed(reviewed_file)
    all_passed = True
    inputs = [(p, read_pe_imports) for p in paths]
    inputs += [(p, read_list_imports) for p in list_files]
    for path, reader in inputs:
        try:
            imports = reader(path)
        except (OSError, PeError, struct.error, ValueError) as error:
            print("%s: FAIL: cannot read imports: %s" % (path, error))
            all_passed = False
            continue
        results, passed = check(imports, exports, reviewed)
        print("%s: %d imports" % (path, len(results)))
        for dll, name, verdict in results:
            print("  %-14s %-36s %s" % (dll, name, verdict))
        print("%s: %s" % (path, "passed" if passed else "FAILED"))
        all_passed = all_passed and passed
    return all_passed


def self_test():
    """The check must reject what Windows 95 OSR2 cannot load."""
    exports = {"KERNEL32.DLL": {"GetTickCount": "95",
                                "GetDiskFreeSpaceExA": "OSR2",
                                "IsProcessorFeaturePresent": "98",
                                "GetGeoInfoA": "ME"}}
    reviewed = {"USER32.DLL": {"MessageBoxA": "95",
                               "GetWindowInfo": "98"},
                "COMCTL32.DLL": {"#17": "95"}}
    cases = [
        ([("KERNEL32.dll", "GetTickCount")], True),
        ([("kernel32.dll", "GetDiskFreeSpaceExA")], True),
        ([("USER32.dll", "MessageBoxA"), ("COMCTL32.dll", "#17")], True),
        ([("KERNEL32.dll", "IsProcessorFeaturePresent")], False),
        ([("KERNEL32.dll", "GetGeoInfoA")], False),
        ([("KERNEL32.dll", "GetModuleHandleExW")], False),
        ([("KERNEL32.dll", "#12")], False),
        ([("USER32.dll", "GetWindowInfo")], False),
        ([("USER32.dll", "CreateWindowExW")], False),
        ([("COMCTL32.dll", "#345")], False),
        ([("WINSPOOL.DRV", "#3")], False),
        ([("libstdc++-6.dll", "_ZdlPv")], False),
        ([("USER32.dll", "MessageBoxA"), ("KERNEL32.dll", "GetGeoInfoA")],
         False),
    ]
    failures = 0
    for imports, expected in cases:
        _, passed = check(imports, exports, reviewed)
        if passed != expected:
            failures += 1
            print("self-test FAILED: %s gave %s" % (imports, passed))
    # A fake imports file goes through the same reader and real data.
    real_exports = load_exports(DEFAULT_EXPORTS)
    real_reviewed = load_reviewed(DEFAULT_REVIEWED)
    with tempfile.NamedTemporaryFile("w", suffix=".tsv", delete=False) as f:
        f.write("# a program that would not load on Windows 95 OSR2\n")
        f.write("KERNEL32.dll\tGetTickCount\n")
        f.write("MSVCRT.dll\t_fstat64\n")
        fake = f.name
    try:
        _, passed = check(read_list_imports(fake), real_exports,
                          real_reviewed)
    finally:
        os.unlink(fake)
    if passed:
        failures += 1
        print("self-test FAILED: _fstat64 (Windows Me) was accepted")
    try:
        read_pe_imports(__file__)
        failures += 1
        print("self-test FAILED: a text file was read as a PE file")
    except PeError:
        pass
    print("check-pe-imports self-test: %s" % ("passed" if failures == 0
                                              else "FAILED"))
    return failures == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("programs", nargs="*", help="PE files to check")
    parser.add_argument("--exports", default=DEFAULT_EXPORTS,
                        help="folder of NAME.DLL.tsv export lists")
    parser.add_argument("--reviewed", default=DEFAULT_REVIEWED,
                        help="reviewed imports of the other DLLs")
    parser.add_argument("--imports", action="append", default=[],
                        help="a DLL<TAB>name list to check instead of a PE")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return 0 if self_test() else 1
    if not args.programs and not args.imports:
        parser.error("nothing to check")
    try:
        return 0 if run(args.programs, args.imports, args.exports,
                        args.reviewed) else 1
    except (OSError, PeError) as error:
        print("check-pe-imports: %s" % error)
        return 1


if __name__ == "__main__":
    sys.exit(main())
