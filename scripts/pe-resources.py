#!/usr/bin/env python3
"""Reads what a built Windows program carries, without Windows: its resources, the time stamps in
its headers and its version resource. For looking into a package and for the packaging tests.

    pe-resources.py PROGRAM                  lists the resources: type, name, language, size
    pe-resources.py PROGRAM TYPE NAME OUT    writes one resource's bytes to OUT
                                             (TYPE and NAME: a number or a text, as in "DATA 18")
"""

import struct
import sys

RESOURCE_DIRECTORY = 2
DEBUG_DIRECTORY = 6
RT_VERSION = 16
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD


class Program:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not a Windows program (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a Windows program (no PE header)")
        coff = pe + 4
        (_, section_count, self.timestamp, _, _, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, coff)
        optional = coff + 20
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        directory_count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            name, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("ascii", "replace"), address,
                                  max(virtual_size, raw_size), raw_offset))

    def offset_of(self, rva):
        for _, address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    def directory(self, index):
        if index >= len(self.directories) or self.directories[index][0] == 0:
            return None
        rva, size = self.directories[index]
        return self.offset_of(rva), size

    def debug_timestamps(self):
        found = self.directory(DEBUG_DIRECTORY)
        if not found:
            return []
        offset, size = found
        return [struct.unpack_from("<I", self.data, offset + at + 4)[0]
                for at in range(0, size, 28)]

    def resource_directory_timestamps(self):
        return [timestamp for timestamp, _ in self._walk_directories()]

    def resources(self):
        """{(type, name, language): bytes}; a type or name is an int or a text."""
        found = {}
        for _, entry in self._walk_directories():
            if entry:
                path, rva, size = entry
                offset = self.offset_of(rva)
                found[path] = self.data[offset:offset + size]
        return found

    def resource(self, kind, name):
        for (found_kind, found_name, _), data in self.resources().items():
            if found_kind == kind and found_name == name:
                return data
        return None

    def _walk_directories(self):
        """(directory timestamp, None) per directory, then (0, (path, rva, size)) per resource."""
        found = self.directory(RESOURCE_DIRECTORY)
        if not found:
            return []
        base = found[0]
        out = []

        def name_at(field):
            if field & 0x80000000 == 0:
                return field
            at = base + (field & 0x7FFFFFFF)
            length = struct.unpack_from("<H", self.data, at)[0]
            return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")

        def walk(at, path):
            timestamp, = struct.unpack_from("<I", self.data, at + 4)
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            out.append((timestamp, None))
            for i in range(named + numbered):
                field, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                here = path + (name_at(field),)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), here)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    out.append((0, (here, rva, size)))

        walk(base, ())
        return out

    def version(self):
        """(the fixed file version "a.b.c.d", {string name: value}) from the version resource."""
        block = self.resource(RT_VERSION, 1)
        if block is None:
            return None, {}
        strings = {}
        fixed = [None]

        def node(at, end, depth):
            length, value_length, kind = struct.unpack_from("<HHH", block, at)
            stop = min(at + length, end)
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            value_size = value_length * 2 if kind == 1 else value_length
            value = block[value_at:value_at + value_size]
            if key == "VS_VERSION_INFO" and len(value) >= 16:
                signature, _, ms, ls = struct.unpack_from("<IIII", value)
                if signature == FIXED_FILE_INFO_SIGNATURE:
                    fixed[0] = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
            if depth == 3:
                strings[key] = value.decode("utf-16-le").rstrip("\0")
            child = (value_at + value_size + 3) & ~3
            while child + 6 <= stop:
                child_length = struct.unpack_from("<H", block, child)[0]
                if child_length == 0:
                    break
                node(child, stop, depth + 1)
                child = (child + child_length + 3) & ~3

        node(0, len(block), 0)
        return fixed[0], strings


def load(path):
    with open(path, "rb") as file:
        return Program(file.read())


def parse_name(text):
    return int(text) if text.isdigit() else text


def main(arguments):
    if len(arguments) == 1:
        for (kind, name, language), data in sorted(load(arguments[0]).resources().items(),
                                                   key=lambda item: str(item[0])):
            print(f"{kind}\t{name}\t{language}\t{len(data)}")
    elif len(arguments) == 4:
        data = load(arguments[0]).resource(parse_name(arguments[1]), parse_name(arguments[2]))
        if data is None:
            sys.exit(f"pe-resources.py: no resource {arguments[1]} {arguments[2]} in {arguments[0]}")
        with open(arguments[3], "wb") as out:
            out.write(data)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
