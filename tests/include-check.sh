#!/usr/bin/env bash
# Checks the code's includes: folders that layer, and no cycle between
# units.
#
# Folders, lowest first: utils/runtime, utils/text, utils/errors,
# utils/files, exports, host, cli, bench, and utils/contract above them all.
# A file includes headers of its own folder and of folders below it, never
# above; so nothing includes the contract, the code no export reaches.
#
# A unit is a header and the sources named after it (utils/errors/Utils.Error.h
# with Utils.Error.Report.cpp, ...; a source belongs to the longest header
# name its own name starts with); a unit depends on every unit whose header
# one of its files includes.
#
#   include-check.sh SOURCE_ROOT
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 SOURCE_ROOT" >&2; exit 2; }
source "$(dirname "$0")/lib-check.sh"
cd "$1"

problems=$(find exports utils host cli bench -name '*.h' -o -name '*.cpp' | LC_ALL=C sort | python3 -c '
import graphlib, os, re, sys
files = sys.stdin.read().split()
headers = {f[:-2] for f in files if f.endswith(".h")}
layers = "utils/runtime utils/text utils/errors utils/files exports host cli bench utils/contract".split()
rank = {layer: n for n, layer in enumerate(layers)}
def folder(f):
    return "/".join(f.split("/")[:2 if f.startswith("utils/") else 1])
def unit(f):
    stem = f[:-2] if f.endswith(".h") else f[:-4]
    while stem not in headers and "." in os.path.basename(stem):
        stem = stem.rsplit(".", 1)[0]
    return stem
for stray in sorted({folder(f) for f in files} - set(layers)):
    print(f"{stray}/ is in no layer of include-check.sh")
edges = {}
for f in files:
    for number, line in enumerate(open(f, encoding="utf-8"), 1):
        included = re.match(r"#include \"([^\"]+)\.h\"", line)
        if not included or included[1] not in headers:
            continue
        if unit(f) != included[1]:
            edges.setdefault(unit(f), set()).add(included[1])
        to = folder(included[1])
        if rank.get(to, len(layers)) > rank.get(folder(f), len(layers)):
            print(f"{f}:{number}: includes {included[1]}.h of {to}/, a folder above its own")
try:
    graphlib.TopologicalSorter(edges).prepare()
except graphlib.CycleError as cycle:
    print("an include cycle between units: " + " -> ".join(reversed(cycle.args[1])))
')
while read -r problem; do
  [ -z "$problem" ] || fail "$problem"
done <<<"$problems"
finish "the includes of $(pwd)"
