#!/usr/bin/env python3
"""ZIP archives for the installers' resources, the same bytes wherever and whenever they are made.

    zip-folder.py OUTPUT FOLDER [FILE ...]   FILEs are paths relative to FOLDER with "/"; without
                                             any, every file below FOLDER (subfolders too)
    zip-folder.py --check FOLDER             only checks the names of every file below FOLDER

An archiver that copies what the file system says makes archives that differ between two checkouts
of the same commit: modification times (and a time zone, for the DOS times), permission bits, the
owner's user and group ids, the order a folder lists its files in. Here every entry has the same
fixed time and attributes and no extra fields, and entries are sorted by name.

Names are checked as the silent installer checks them before it writes anything (ResolveEntryPath
in silent/ArchiveEntryPath.h), so that a product folder it would refuse fails the build instead of
every installation. Names that Windows would take for one file (they differ only in case) are
refused too: one would overwrite the other.
"""

import os
import sys
import zipfile

# The earliest time a ZIP entry can carry; a constant, so that no clock or time zone counts.
ENTRY_TIME = (1980, 1, 1, 0, 0, 0)
# Made on "MS-DOS" (the archive's readers are Windows programs), as a plain file (the archive bit).
FILE_ATTRIBUTE_ARCHIVE = 0x20
CREATED_ON_MSDOS = 0
COMPRESSION_LEVEL = 9

FORBIDDEN_CHARACTERS = set('<>:"|?*\\')
RESERVED_NAMES = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"} | {
    f"{kind}{n}" for kind in ("COM", "LPT") for n in range(1, 10)}


def name_problem(name):
    """Why the silent installer would refuse an entry name, or None."""
    for component in name.split("/"):
        if component in ("", ".", ".."):
            return f'the component "{component}"'
        if any(ord(c) < 32 or c in FORBIDDEN_CHARACTERS for c in component):
            return f'"{component}" holds a character Windows does not allow in names'
        if component.endswith((".", " ")):
            return f'"{component}" ends in "." or " " (Windows drops those)'
        if component.split(".", 1)[0].rstrip(" ").upper() in RESERVED_NAMES:
            return f'"{component}" is a device name on Windows'
    return None


def files_below(folder):
    names = []
    for root, dirs, files in os.walk(folder, followlinks=True):
        dirs.sort()
        for file in files:
            path = os.path.join(root, file)
            names.append(os.path.relpath(path, folder).replace(os.sep, "/"))
    return names


def problems_in(names):
    problems = []
    by_folded_name = {}
    for name in names:
        problem = name_problem(name)
        if problem:
            problems.append(f"{name}: {problem}")
        folded = name.casefold()
        if folded in by_folded_name:
            problems.append(f"{name}: the same file on Windows as {by_folded_name[folded]}")
        else:
            by_folded_name[folded] = name
    return problems


def write_archive(output, folder, names):
    temporary = output + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, date_time=ENTRY_TIME)
            entry.create_system = CREATED_ON_MSDOS
            entry.external_attr = FILE_ATTRIBUTE_ARCHIVE
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as source:
                data = source.read()
            archive.writestr(entry, data, compresslevel=COMPRESSION_LEVEL)
    os.replace(temporary, output)


def main(arguments):
    check_only = arguments[:1] == ["--check"]
    if check_only:
        arguments = arguments[1:]
        if len(arguments) != 1:
            sys.exit("usage: zip-folder.py --check FOLDER")
        folder = arguments[0]
    else:
        if len(arguments) < 2:
            sys.exit("usage: zip-folder.py OUTPUT FOLDER [FILE ...]")
        output, folder = arguments[0], arguments[1]
    if not os.path.isdir(folder):
        sys.exit(f"zip-folder.py: {folder} is not a folder")

    names = sorted(set(arguments[2:] if not check_only and len(arguments) > 2
                       else files_below(folder)))
    if not names:
        sys.exit(f"zip-folder.py: no files to archive in {folder}")
    problems = problems_in(names)
    if problems:
        sys.exit(f"zip-folder.py: the installer would refuse these names in {folder}:\n  " +
                 "\n  ".join(problems))
    if not check_only:
        write_archive(output, folder, names)


if __name__ == "__main__":
    main(sys.argv[1:])
