#!/usr/bin/env python3
"""The layering check itself: it must pass a tree that keeps the rules and fail one that breaks
them, naming the file, the line and the rule."""
import pathlib
import subprocess
import sys
import tempfile

CHECKER = pathlib.Path(__file__).with_name("check_layers.py")


def run(files: dict[str, str]) -> subprocess.CompletedProcess:
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            path = pathlib.Path(root, name)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)
        return subprocess.run([sys.executable, str(CHECKER), root], capture_output=True, text=True)


def main() -> int:
    failures = []
    kept = run({
        "base/Handle.h": "#pragma once\n",
        "ui/Control.cpp": '#include "ui/Control.h"\n#include "base/Handle.h"\n#include <windows.h>\n',
        "app/Main.cpp": '#include "engine/Payload.h"\n#include "ui/Control.h"\n',
        "tests/ui/ControlTest.cpp": '#include "tests/support/Helper.h"\n#include "ui/Control.h"\n',
    })
    if kept.returncode != 0:
        failures.append(f"a tree that keeps the rules failed:\n{kept.stdout}")
    broken = run({
        "ui/Control.cpp": '#include "base/Handle.h"\n  #  include "engine/Payload.h"\n',
        "bench/Bench.cpp": '#include "tests/support/Helper.h"\n',
        "base/Handle.cpp": '#include "app/Main.h"\n',
    })
    if broken.returncode != 1:
        failures.append(f"a tree that breaks the rules passed (exit {broken.returncode})")
    for expected in (
        "ui/Control.cpp:2: includes engine/, but ui/ may use only base, ui",
        "bench/Bench.cpp:1: includes tests/",
        "base/Handle.cpp:1: includes app/, but base/ may use only base",
        "3 includes across layers",
    ):
        if expected not in broken.stdout:
            failures.append(f"missing from the report: {expected}\n{broken.stdout}")
    for failure in failures:
        print(failure)
    print("layering check: " + ("FAILED" if failures else "behaves"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
