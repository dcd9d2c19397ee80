#!/usr/bin/env python3
"""What makes up an executable: the bytes each input contributes to the loaded
sections, summed by library, from a GNU ld map file (-Wl,-Map).

    size_breakdown.py MAP_FILE [TOP]  ->  Markdown table rows: origin | bytes | share
"""
import re
import sys
from collections import defaultdict

LOADED = ('.text', '.data', '.rdata', '.eh_frame', '.pdata', '.xdata', '.bss', '.tls',
          '.CRT', '.idata', '.rsrc', '.gcc_except_table', '.ctors', '.dtors')


def origin(path):
    name = path.replace('\\', '/')
    m = re.search(r'([^/]+\.a)\(([^)]*)\)', name)
    if m:
        lib, member = m.group(1), m.group(2)
        if member.endswith('.res'):
            return 'resources (icon, manifest, version)'
        if lib == 'objects.a':
            return 'app: entry (Velquin.cpp)'
        if lib.startswith('libvelquin_'):
            return 'our library: ' + lib[len('lib'):-len('.a')]
        if lib.startswith('libstdc++'):
            return 'C++ run-time (libstdc++)'
        if lib.startswith('libgcc') :
            return 'GCC run-time (libgcc, libgcc_eh)'
        if lib.startswith('libwinpthread') or lib == 'libpthread.a':
            return 'threads run-time (libwinpthread)'
        if lib in ('libmingw32.a', 'libmingwex.a', 'libmsvcrt.a', 'libmoldname.a'):
            return 'C run-time start-up and helpers (mingw)'
        return 'import stubs and other system libraries'
    if name.endswith('.res') or 'Velquin.rc' in name:
        return 'resources (icon, manifest, version)'
    if name.endswith('.o') or name.endswith('.obj'):
        return 'C run-time start-up and helpers (mingw)'
    return 'other'


def main(map_path):
    sizes = defaultdict(int)
    members = defaultdict(int)
    pending = None  # an input-section name alone on its line: the figures follow
    section = None
    with open(map_path, errors='replace') as f:
        for line in f:
            top = re.match(r'^(\.[\w.$]+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)', line)
            if top:
                section = top.group(1)
                continue
            if re.match(r'^\S', line):
                section = line.split()[0] if line.strip() else section
                pending = None
                continue
            m = re.match(r'^ (\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', line)
            if m:
                sub, size, path = m.group(1), int(m.group(2), 16), m.group(3).strip()
            else:
                alone = re.match(r'^ (\S+)\s*$', line)
                if alone:
                    pending = alone.group(1)
                    continue
                cont = re.match(r'^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', line)
                if not (cont and pending):
                    continue
                sub, size, path = pending, int(cont.group(1), 16), cont.group(2).strip()
                pending = None
            if not section or not section.startswith(LOADED) or section.startswith('.debug'):
                continue
            if section == '.bss' or sub.startswith('.bss') or sub.startswith('COMMON'):
                continue  # takes no room in the file
            sizes[origin(path)] += size
            members[re.sub(r'^.*/', '', path.replace('\\', '/'))] += size
    total = sum(sizes.values())
    for name, size in sorted(sizes.items(), key=lambda kv: -kv[1]):
        print(f'| {name} | {size} | {100.0 * size / total:.1f} % |')
    print(f'| **all inputs** | **{total}** | 100 % |')
    if len(sys.argv) > 2:
        print()
        print('| largest inputs | bytes |')
        print('|---|---:|')
        for name, size in sorted(members.items(), key=lambda kv: -kv[1])[:int(sys.argv[2])]:
            print(f'| {name} | {size} |')


if __name__ == '__main__':
    main(sys.argv[1])
