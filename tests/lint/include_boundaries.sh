#!/usr/bin/env bash
# The layering, checked one include line at a time. Each folder may include
# its own headers and the public headers of the folders below it:
#
#   core       nothing of ours           graphics   nothing of ours
#   widgets    graphics                  display    widgets, graphics
#   panel      display, widgets, graphics, core
#   host       graphics, widgets (never the panel: it sees the panel only
#              through the layer table of the application description)
#   app, tools, bench    any public header (bench also the off-screen
#              context in tests/support, which needs no GoogleTest)
#   fuzz       any public header, and like a folder's tests the internal
#              headers of the folder a target drives
#
# An internal header (*_internal.h) is for its own folder only; the tests of
# a folder (tests/<folder>) count as that folder, tests/support serves every
# suite and may include what they need, and every suite may include the
# public headers of any folder and the helpers under tests/. The CMake
# targets carry the same rule (cmake/velkor_layering.cmake); this check names
# the file and line of every offence, also for code no target builds yet.
#
# Usage: include_boundaries.sh [root]   (exit 1 and one line per offence)
set -u
root=${1:-.}
cd "$root" || exit 2

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files --cached --others --exclude-standard)
else
  files=$(find . -type f -not -path './build*' -not -path './.git/*' | sed 's|^\./||')
fi
sources=$(printf '%s\n' "$files" | grep -E '\.(cpp|cc|h|hpp)$' | sort)
existing=()
while IFS= read -r f; do
  [ -n "$f" ] && [ -f "$f" ] && existing+=("$f")
done <<<"$sources"
if [ "${#existing[@]}" -eq 0 ]; then
  echo "include boundaries: no sources"
  exit 0
fi

awk '
BEGIN {
  # Folders of ours; an include whose first component is none of these is
  # a system or third-party header and not judged here.
  split("core graphics widgets display panel host app tools bench tests fuzz", names, " ")
  for (i in names) ours[names[i]] = 1
  programs = " core graphics widgets display panel host "
  may["core"] = " "
  may["graphics"] = " "
  may["widgets"] = " graphics "
  may["display"] = " widgets graphics "
  may["panel"] = " display widgets graphics core "
  may["host"] = " graphics widgets "
  may["app"] = programs
  may["tools"] = programs " app "
  may["bench"] = programs " app tests/support "
  may["fuzz"] = programs " app tests/support "
  offences = 0
}

# The folder a path belongs to: its first component, or tests/<second>.
function folder_of(path,    parts, n) {
  n = split(path, parts, "/")
  if (n < 2) return "."
  if (parts[1] == "tests" && n >= 3) return "tests/" parts[2]
  return parts[1]
}

function dir_of(path) {
  if (path !~ /\//) return ""
  sub(/\/[^\/]*$/, "", path)
  return path
}

# a/b/../c -> a/c, ./a -> a
function normalise(path,    parts, n, i, out, k, result) {
  n = split(path, parts, "/")
  k = 0
  for (i = 1; i <= n; i++) {
    if (parts[i] == "." || parts[i] == "") continue
    if (parts[i] == ".." && k > 0) { k--; continue }
    out[++k] = parts[i]
  }
  result = ""
  for (i = 1; i <= k; i++) result = result (i > 1 ? "/" : "") out[i]
  return result
}

function report(reason) {
  printf "%s:%d: #include \"%s\": %s\n", FILENAME, FNR, target, reason
  offences++
}

/^[ \t]*#[ \t]*include[ \t]*["<]/ {
  line = $0
  sub(/^[ \t]*#[ \t]*include[ \t]*["<]/, "", line)
  sub(/[">].*$/, "", line)
  target = line
  quoted = ($0 ~ /include[ \t]*"/)

  # A quoted name without a folder, or one that climbs with ../, is found
  # beside the including file first.
  if (target ~ /^\.\.?\//) {
    path = normalise(dir_of(FILENAME) "/" target)
  } else if (target !~ /\// && quoted) {
    path = normalise(dir_of(FILENAME) "/" target)
  } else {
    path = target
  }
  split(path, first, "/")
  if (!(first[1] in ours)) next

  from = folder_of(FILENAME)
  to = folder_of(path)
  if (from == to) next

  internal = (path ~ /_internal\.h$/)
  if (internal) {
    if (from == "tests/" to || from == "tests/support" || from == "fuzz") next
    report("internal header of " to "/, for " to "/ and its tests only")
    next
  }

  if (from ~ /^tests\//) {
    # Suites: any public header, any test helper.
    next
  }
  if (!(from in may)) {
    report("no layering rule for the folder " from "/ (add one to tests/lint/include_boundaries.sh)")
    next
  }
  if (index(may[from], " " to " ") > 0) next
  allowed = may[from]
  gsub(/^ +| +$/, "", allowed)
  gsub(/ +/, ", ", allowed)
  if (allowed == "") report(from "/ includes nothing of ours")
  else report(from "/ may include only " allowed)
}

END {
  if (offences > 0) {
    printf "include boundaries: %d offending include(s)\n", offences > "/dev/stderr"
    exit 1
  }
}
' "${existing[@]}"
status=$?
if [ "$status" -eq 0 ]; then
  echo "include boundaries: ${#existing[@]} files clean"
fi
exit $status
