#!/usr/bin/env bash
# Checks the code's includes: no cycle between units. A unit is a header
# and the sources named after it (utils/errors/Utils.Error.h with
# Utils.Error.Report.cpp, ...; a source belongs to the longest header name
# its own name starts with); a unit depends on every unit whose header one
# of its files includes.
#
#   include-check.sh SOURCE_ROOT
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SOURCE_ROOT" >&2; exit 2; }
source "$(dirname "$0")/lib-check.sh"
cd "$1"

cycle=$(find exports utils host cli bench -name '*.h' -o -name '*.cpp' | LC_ALL=C sort | python3 -c '
import os, re, sys
files = sys.stdin.read().split()
headers = {f[:-2] for f in files if f.endswith(".h")}
def unit(f):
    stem = f[:-2] if f.endswith(".h") else f[:-4]
    while stem not in headers and "." in os.path.basename(stem):
        stem = stem.rsplit(".", 1)[0]
    return stem
edges = {}
for f in files:
    for included in re.findall(r"^#include \"([^\"]+)\.h\"", open(f, encoding="utf-8").read(), re.M):
        if included in headers and unit(f) != included:
            edges.setdefault(unit(f), set()).add(included)
state, path = {}, []
def visit(u):
    state[u] = 1
    path.append(u)
    for v in sorted(edges.get(u, ())):
        if state.get(v) == 1:
            print(" -> ".join(path[path.index(v):] + [v]))
            sys.exit(0)
        if v not in state:
            visit(v)
    path.pop()
    state[u] = 2
for u in sorted(edges):
    if u not in state:
        visit(u)
')
[ -z "$cycle" ] || fail "an include cycle between units: $cycle"
finish "the includes of $(pwd)"
