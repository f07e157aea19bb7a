#!/usr/bin/env python3
"""Prints the benchmarks' table: one row per figure, one column per architecture, then the goal.

    scripts/bench-table.py OUT ARCH=FILE [ARCH=FILE ...]

Each FILE holds what the benchmarks printed for ARCH; their lines "result|figure|measured|goal"
become the rows (in the order first seen). An architecture that was not run has no file (or an
empty one) and reads "not run". The table goes to standard output and to OUT.
"""

import sys


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    out_path, columns = argv[1], []
    rows, goals = {}, {}
    for spec in argv[2:]:
        arch, _, path = spec.partition('=')
        columns.append(arch)
        try:
            with open(path, encoding='utf-8', errors='replace') as f:
                lines = f.read().splitlines()
        except OSError:
            lines = []
        for line in lines:
            parts = line.split('|')
            if len(parts) != 4 or parts[0] != 'result':
                continue
            _, figure, measured, goal = parts
            rows.setdefault(figure, {})[arch] = measured
            goals.setdefault(figure, goal)
    header = ['Figure'] + columns + ['Goal']
    table = [header, ['---'] * len(header)]
    for figure, cells in rows.items():
        table.append([figure] + [cells.get(a, 'not run') for a in columns] + [goals[figure]])
    text = '\n'.join('| ' + ' | '.join(row) + ' |' for row in table) + '\n'
    sys.stdout.write(text)
    with open(out_path, 'w', encoding='utf-8') as f:
        f.write(text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
