#!/usr/bin/env bash
# Plants known faults in a scratch copy of the tree, one at a time, and checks
# that the suite catches each. A fault that builds and passes its tests is a
# gap in the tests, not in the code.
#
# A fault file (tests/faults/<area>/<name>.fault) is plain text:
#   # one line or more saying what the fault is, as a reviewer would put it
#   file: panel/Velkor_symbology_layer_view.cpp
#   find: if (extension_words > 0)
#   replace: if (extension_words >= 0)
#   tests: ^panel\.AddressUnit
# "find" must occur exactly once in "file" (else the fault is STALE: the code
# moved on and the fault needs rewriting). Several file/find/replace groups
# may follow each other; "tests" is a ctest -R expression naming the tests
# expected to fail (default: every test).
#
# Usage: scripts/plant-faults.sh [--keep DIR] [FAULT_FILE_OR_DIR...]
#   default: every fault under tests/faults. Prints one row per fault:
#   CAUGHT (a named test failed), ESCAPED (built, tests passed), STALE (the
#   find text is gone), NOBUILD (the planted tree does not compile: rewrite
#   the fault so that it compiles). Exit status 1 if any fault escaped or
#   is stale or
#   does not build.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
keep=""
if [ "${1:-}" = "--keep" ]; then
  keep=$2
  shift 2
fi
args=("$@")
[ ${#args[@]} -gt 0 ] || args=("$root/tests/faults")
faults=()
for a in "${args[@]}"; do
  if [ -d "$a" ]; then
    while IFS= read -r f; do faults+=("$f"); done < <(find "$a" -name '*.fault' | sort)
  else
    faults+=("$a")
  fi
done
[ ${#faults[@]} -gt 0 ] || { echo "plant-faults: no fault files" >&2; exit 2; }

work=${keep:-$(mktemp -d /tmp/velkor-faults.XXXXXX)}
src=$work/src
build=$work/build
mkdir -p "$src" "$build"
# A copy of the tracked and new files, so that the checkout is never touched.
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  tar --null -T - -cf -) | tar -xf - -C "$src"
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_BENCH=OFF $launcher >/dev/null ||
  { echo "plant-faults: configure failed" >&2; exit 2; }
cmake --build "$build" -j "$(nproc)" >"$work/base-build.log" 2>&1 ||
  { echo "plant-faults: the unplanted tree does not build (see $work/base-build.log)" >&2; exit 2; }

# apply <fault> <direction>: plants (forward) or removes (reverse) the fault's
# replacements in $src. Prints STALE and fails when a find text is not there
# exactly once.
apply() {
  python3 - "$1" "$2" "$src" <<'PY'
import sys, pathlib
fault, direction, src = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
groups, cur = [], {}
for line in pathlib.Path(fault).read_text().splitlines():
    if line.startswith('#') or not line.strip():
        continue
    key, _, value = line.partition(':')
    value = value[1:] if value.startswith(' ') else value
    if key == 'file':
        cur = {'file': value}
        groups.append(cur)
    elif key in ('find', 'replace'):
        cur[key] = value.replace('\\n', '\n')
for g in groups:
    old, new = (g['find'], g['replace']) if direction == 'forward' else (g['replace'], g['find'])
    path = src / g['file']
    text = path.read_text() if path.exists() else ''
    if text.count(old) != 1:
        print('STALE: %r occurs %d times in %s' % (old, text.count(old), g['file']))
        sys.exit(1)
    path.write_text(text.replace(old, new))
PY
}

escaped=0
printf '%-9s %s\n' "result" "fault"
for f in "${faults[@]}"; do
  name=$(printf "%s" "$f" | sed "s|.*tests/faults/||")
  tests=$(sed -n 's/^tests: //p' "$f" | head -n 1)
  if ! out=$(apply "$f" forward); then
    printf '%-9s %s  (%s)\n' STALE "$name" "$out"
    escaped=$((escaped + 1))
    continue
  fi
  if ! cmake --build "$build" -j "$(nproc)" >"$work/fault-build.log" 2>&1; then
    result=NOBUILD
    escaped=$((escaped + 1))
  elif (cd "$build" && ctest -j "$(nproc)" ${tests:+-R "$tests"} >"$work/fault-test.log" 2>&1); then
    result=ESCAPED
    escaped=$((escaped + 1))
  else
    result="CAUGHT"
    caught_by=$(grep -E '^\s*[0-9]+ - .*\((Failed|SEGFAULT|Subprocess aborted|Timeout)' "$work/fault-test.log" |
                sed -E 's/^\s*[0-9]+ - ([^ ]+).*/\1/' | head -n 3 | paste -sd ' ')
  fi
  apply "$f" reverse >/dev/null
  printf '%-9s %s%s\n' "$result" "$name" "${caught_by:+  by $caught_by}"
  caught_by=""
done
# Leave the build matching the unplanted tree for the next run.
cmake --build "$build" -j "$(nproc)" >/dev/null 2>&1
[ -n "$keep" ] || rm -rf "$work"
[ "$escaped" -eq 0 ]
