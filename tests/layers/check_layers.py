#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the folder layering that the build declares.

- every include from one folder of src/ into another is one the folder's
  library links (layers.txt, written by cmake/TarloLayers.cmake);
- the declared folder graph has no cycle;
- docs/ARCHITECTURE.md's list of links is the build's, line for line;
- no call into the page carries a script text longer than a line (the page's
  code lives in resources/page/*.js).

Usage: check_layers.py SOURCE_DIR LAYERS_TXT
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.M)
PAGE_CALL = re.compile(r'\b(runJavaScript|RunScript)\s*\(')
CONTINUED = re.compile(r'"\s*\n\s*(?:QStringLiteral\()?"')
RAW_LINES = re.compile(r'R"[^(\s]*\([^)]*\n')


def read_declared(path):
    graph = {}
    for line in path.read_text().splitlines():
        if ':' not in line:
            continue
        folder, uses = line.split(':', 1)
        graph[folder.strip()] = set(uses.split())
    return graph


def read_documented(path):
    text = path.read_text()
    m = re.search(r'^```layers\n(.*?)^```', text, re.M | re.S)
    if not m:
        return None
    graph = {}
    for line in m.group(1).splitlines():
        line = line.split('#', 1)[0]
        if ':' in line:
            folder, uses = line.split(':', 1)
            graph[folder.strip()] = set(uses.replace(',', ' ').split())
    return graph


def find_cycle(graph):
    state = {}

    def visit(node, path):
        state[node] = 1
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                return path + [node, nxt]
            if nxt not in state:
                found = visit(nxt, path + [node])
                if found:
                    return found
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [])
            if found:
                return found
    return None


def call_argument(text, start):
    """A call's first argument: the script it sends."""
    depth, i, quote = 1, start, None
    while i < len(text) and depth:
        c = text[i]
        if quote:
            if c == '\\':
                i += 1
            elif c == quote:
                quote = None
        elif c in '"\'':
            quote = c
        elif c == '(':
            depth += 1
        elif c == ')':
            depth -= 1
        elif c == ',' and depth == 1:
            break
        i += 1
    return text[start:i]


def main():
    src = pathlib.Path(sys.argv[1])
    declared = read_declared(pathlib.Path(sys.argv[2]))
    faults = []

    for folder in sorted(p.name for p in (src / 'src').iterdir() if p.is_dir()):
        if folder not in declared:
            faults.append(f'src/{folder} is not built as a library of its own')
            continue
        for f in sorted((src / 'src' / folder).glob('*.[hc]*')):
            text = f.read_text(errors='replace')
            for used in INCLUDE.findall(text):
                if used != folder and used not in declared[folder]:
                    faults.append(f'{f.relative_to(src)} includes {used}/, '
                                  f'which src/{folder} does not link')
            for m in PAGE_CALL.finditer(text):
                arg = call_argument(text, m.end())
                # A literal continued on the next line, or a raw string
                # holding a line break, is a script of more than a line.
                if CONTINUED.search(arg) or RAW_LINES.search(arg):
                    line_no = text.count('\n', 0, m.start()) + 1
                    faults.append(f'{f.relative_to(src)}:{line_no}: a script text of '
                                  f'several lines is sent to the page')

    cycle = find_cycle(declared)
    if cycle:
        faults.append('the folders use each other in a circle: ' + ' -> '.join(cycle))

    documented = read_documented(src / 'docs' / 'ARCHITECTURE.md')
    if documented is None:
        faults.append('docs/ARCHITECTURE.md has no ```layers list')
    elif documented != declared:
        for folder in sorted(set(documented) | set(declared)):
            a, b = documented.get(folder), declared.get(folder)
            if a != b:
                faults.append(f'docs/ARCHITECTURE.md says {folder}: {" ".join(sorted(a or []))}'
                              f'; the build links {folder}: {" ".join(sorted(b or []))}')

    for fault in faults:
        print(fault)
    print(f'{len(declared)} folders, {sum(len(u) for u in declared.values())} links, '
          f'{len(faults)} faults')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
