#!/usr/bin/env python3
"""No mutable process-wide state: every object and static library given is read with
`nm -C --defined-only`, and each writable data symbol (types B, b, D, d) is a finding unless it
is the compiler's (type information, vtables, guard variables), a constant by its kName, or
matched by a line of the allow-list, which gives the reason it must stay process-wide.

Run: check_globals.py ALLOW_LIST FILE..."""
import re
import subprocess
import sys

COMPILER = re.compile(r'^(typeinfo|vtable|VTT|guard variable) ')
CONSTANT = re.compile(r'(^|::)k[A-Z0-9][A-Za-z0-9_]*(\[abi:[^]]*\])?$')


def allowed_patterns(path):
    """(regular expression, reason) of each line 'PATTERN | REASON'; '#' lines are notes."""
    patterns = []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            pattern, _, reason = line.partition(' | ')
            if not reason.strip():
                sys.exit('%s:%d: an entry needs its reason after " | "' % (path, number))
            patterns.append((re.compile(pattern.strip()), reason.strip()))
    return patterns


def writable_symbols(path):
    out = subprocess.run(['nm', '-C', '--defined-only', path], check=True,
                         capture_output=True, text=True).stdout
    for line in out.splitlines():
        fields = line.split(' ', 2)
        if len(fields) == 3 and fields[1] in ('B', 'b', 'D', 'd'):
            yield fields[2]


def main(allow_path, files):
    patterns = allowed_patterns(allow_path)
    used = set()
    findings = []
    for path in files:
        for symbol in writable_symbols(path):
            if COMPILER.match(symbol) or CONSTANT.search(symbol):
                continue
            match = next((p for p in patterns if p[0].fullmatch(symbol)), None)
            if match:
                used.add(match[0].pattern)
            else:
                findings.append('%s: %s' % (path, symbol))
    for finding in sorted(set(findings)):
        print('mutable process-wide state:', finding)
    for pattern, _ in patterns:
        if pattern.pattern not in used:
            print('allow-list entry matches nothing, remove it:', pattern.pattern)
    return 1 if findings or len(used) != len(patterns) else 0


if __name__ == '__main__':
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2:]))
