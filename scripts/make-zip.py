#!/usr/bin/env python3
"""Writes a ZIP file of a folder that depends only on the files' names and
bytes: entries sorted by name (folders before what they hold), every entry
stamped with one fixed time, MS-DOS attributes (archive for files,
directory for folders), deflated at level 9, no extra fields.

  make-zip.py OUT.ZIP FOLDER

The time is SOURCE_DATE_EPOCH (seconds since 1970, UTC) when set, else
1 January 1980; ZIP times have a 2-second grain and no time zone.
"""
import os
import sys
import time
import zipfile

DOS_ARCHIVE = 0x20
DOS_DIRECTORY = 0x10


def entries(folder):
    """Relative names with '/', folders ending in '/', in a fixed order."""
    names = []
    for root, dirs, files in os.walk(folder):
        dirs.sort()
        relative = os.path.relpath(root, folder)
        prefix = "" if relative == "." else relative.replace(os.sep, "/") + "/"
        if prefix:
            names.append(prefix)
        names.extend(prefix + name for name in sorted(files))
    return sorted(names, key=lambda name: name.lower())


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    out, folder = sys.argv[1], sys.argv[2]
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "315532800"))
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(out + ".tmp", "w") as archive:
        for name in entries(folder):
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.create_system = 0  # MS-DOS: attributes as Windows 9x reads them
            if name.endswith("/"):
                info.external_attr = DOS_DIRECTORY
                archive.writestr(info, b"")
                continue
            info.external_attr = DOS_ARCHIVE
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
