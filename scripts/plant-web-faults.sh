#!/usr/bin/env bash
# Plants the browser build's faults (tests/web/faults/*.fault, the format of
# scripts/plant-faults.sh, without "tests:") one at a time in a scratch copy
# of the tree, builds the page and runs the browser test; each fault must
# make it fail (CAUGHT). The desktop build (BUILD, default build) must exist:
# the test compares with it.
#
# Usage: scripts/plant-web-faults.sh [FAULT_FILE...]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=$(cd "$root/${BUILD:-build}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/velkor-web-faults.XXXXXX")
trap 'rm -rf "$work"' EXIT
faults=("$@")
[ ${#faults[@]} -gt 0 ] || faults=("$root"/tests/web/faults/*.fault)
# The tree as committed, its files' times kept, and the page built once:
# each fault then rebuilds only what it touches.
mkdir -p "$work/src"
(cd "$root" && git ls-files -z | tar --null -T - -cf -) | tar -xf - -C "$work/src"
make -C "$work/src" -f scripts/web.mk WEB="$work/web" -j "$(nproc)" >"$work/base.log" 2>&1 ||
  { echo "plant-web-faults: the unplanted page does not build (see $work/base.log)" >&2; exit 2; }
status=0
for f in "${faults[@]}"; do
  name=$(basename "$f" .fault)
  file=$(sed -n 's/^file: //p' "$f" | head -n 1)
  if ! python3 - "$work/src/$file" "$f" <<'PY'; then
import sys
path, fault = sys.argv[1], open(sys.argv[2], encoding="utf-8").read().splitlines()
find = next(l[len("find: "):] for l in fault if l.startswith("find: "))
replace = next(l[len("replace: "):] for l in fault if l.startswith("replace: "))
text = open(path, encoding="utf-8").read()
if text.count(find) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(find, replace))
PY
    echo "STALE   $name"
    status=1
    continue
  fi
  cp -p "$root/$file" "$work/original"
  if ! make -C "$work/src" -f scripts/web.mk WEB="$work/web" -j "$(nproc)" >"$work/fault.log" 2>&1; then
    echo "NOBUILD $name"
    status=1
  elif VELKOR_WEB_FIGURES=0 python3 "$work/src/scripts/web-test.py" "$work/web/site" "$native" \
      "$work/run-$name" >"$work/test.log" 2>&1; then
    echo "ESCAPED $name"
    status=1
  else
    echo "CAUGHT  $name ($(grep -c '^FAILED' "$work/test.log") failed: $(grep '^FAILED' "$work/test.log" | cut -d: -f1 | sed 's/FAILED //' | tr '\n' ' '))"
  fi
  cp "$work/original" "$work/src/$file"
  touch "$work/src/$file"
done
exit $status
