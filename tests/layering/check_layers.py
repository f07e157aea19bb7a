#!/usr/bin/env python3
"""Checks that every source file includes only headers of the layers its folder may use.

    check_layers.py [repository root]

Each top-level folder is a layer; a file may include headers of its own folder and of the folders
listed for it below (quoted includes of the form "folder/...", as all of ours are). Exits 1 and
prints every offending include, with the file, the line and the rule it breaks.
"""
import pathlib
import re
import sys

# Who may include whom. The programs sit on top: the installer (app) uses everything; the silent
# installer uses the engine; the framework (ui) and the product's stand-ins know only the base.
LAYERS = {
    "base": {"base"},
    "ui": {"ui", "base"},
    "engine": {"engine", "base"},
    "device": {"device", "base"},
    "product": {"product", "base"},
    "skin": {"skin", "ui", "base"},
    "silent": {"silent", "engine", "base"},
    "app": {"app", "skin", "ui", "engine", "device", "base"},
    "bench": {"bench", "app", "skin", "ui", "engine", "device", "silent", "product", "base"},
    "tests": {"tests", "app", "skin", "ui", "engine", "device", "silent", "product", "base"},
}
SOURCE_SUFFIXES = {".cpp", ".h", ".c"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]*"')


def check(root: pathlib.Path) -> list[str]:
    problems = []
    for layer, allowed in sorted(LAYERS.items()):
        folder = root / layer
        if not folder.is_dir():
            continue
        for path in sorted(folder.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), start=1):
                match = INCLUDE.match(line)
                if match is None:
                    continue
                used = match.group(1)
                if used in LAYERS and used not in allowed:
                    relative = path.relative_to(root)
                    problems.append(
                        f"{relative}:{number}: includes {used}/, but {layer}/ may use only "
                        f"{', '.join(sorted(allowed))}"
                    )
    return problems


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2])
    problems = check(root.resolve())
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} includes across layers")
        return 1
    print("layers: every include is allowed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
