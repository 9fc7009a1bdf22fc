#!/usr/bin/env python3
"""Every include points down: fails on an include outside the table below, and on two files of
one folder that include each other (directly or round a circle).

A file's folder is its directory under src/ (or sim/). A unit is a header and its .cpp together,
so "a.cpp includes b.h and b.cpp includes a.h" is a circle too. Run: check_layers.py ROOT"""
import collections
import os
import re
import sys

# Folder -> the folders its files may include besides its own. A new folder gets a row here.
CORE = ['wire', 'data', 'geo', 'lcd', 'link', 'serial']
ALLOWED = {
    'wire': [],
    'data': ['wire'],
    'geo': ['wire', 'data'],
    'lcd': ['wire'],
    'serial': [],
    'link': ['wire', 'data', 'geo', 'lcd', 'serial'],
    'cli': CORE,
    'exporter': CORE,
    'widgets': ['wire'],
    'pages': ['widgets'] + CORE,
    'app': ['widgets', 'pages'] + CORE,
    'sim': CORE,
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def sources(root):
    """(folder, path relative to its tree, absolute path) of every source file checked."""
    for tree, prefix in (('src', ''), ('sim', 'sim/')):
        base = os.path.join(root, tree)
        for d, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith(('.h', '.hpp', '.cpp')):
                    rel = os.path.relpath(os.path.join(d, name), base)
                    yield prefix + rel, os.path.join(d, name)


def main(root):
    files = dict(sources(root))
    faults = []
    units = collections.defaultdict(set)  # unit -> units of its folder it includes
    for rel, path in files.items():
        folder = os.path.dirname(rel)
        unit = os.path.splitext(rel)[0]
        with open(path, errors='replace') as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target = m.group(1)
                if folder == 'sim' and not os.path.dirname(target):
                    target = 'sim/' + target  # the simulator includes its own files bare
                if target not in files:
                    continue  # generated (.moc) or outside the trees
                to = os.path.dirname(target)
                if to == folder:
                    if os.path.splitext(target)[0] != unit:
                        units[unit].add(os.path.splitext(target)[0])
                elif folder not in ALLOWED:
                    faults.append('%s: folder %s has no row in the table' % (rel, folder))
                elif to not in ALLOWED[folder]:
                    faults.append('%s:%d: %s may not include %s (%s)'
                                  % (rel, number, folder, to, target))
    faults += circles(units)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


def circles(units):
    """A circle among the units of one folder, reported once per strongly connected group."""
    index, low, stack, on, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on.add(v)
        for w in sorted(units.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append('circle: ' + ' <-> '.join(sorted(group)))

    sys.setrecursionlimit(10000)
    for v in sorted(units):
        if v not in index:
            visit(v)
    return found


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
