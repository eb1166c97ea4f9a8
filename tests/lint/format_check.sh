#!/usr/bin/env bash
# One look across the tree: fails on any tracked .cpp/.h file that
# clang-format (with the repository's .clang-format) would change, and names
# each one. `make format` rewrites them in place.
#
# Usage: format_check.sh [root]   (outside a git checkout: every .cpp/.h
# under root except build directories)
set -u
root=${1:-.}
cd "$root" || exit 2

formatter=${CLANG_FORMAT:-clang-format}
if ! command -v "$formatter" >/dev/null 2>&1; then
  echo "format check: $formatter not found (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files -- '*.cpp' '*.h')
else
  files=$(find . -type f \( -name '*.cpp' -o -name '*.h' \) -not -path './build*' \
          -not -path './.git/*' | sed 's|^\./||' | sort)
fi

list=()
while IFS= read -r f; do
  [ -n "$f" ] && [ -f "$f" ] && list+=("$f")
done <<<"$files"
if [ "${#list[@]}" -eq 0 ]; then
  echo "format check: no sources"
  exit 0
fi

# One run over the whole list; each change it would make is reported as
# "<file>:<line>:<column>: error: code should be clang-formatted".
output=$(printf '%s\0' "${list[@]}" | xargs -0 "$formatter" --style=file --dry-run --Werror 2>&1)
status=$?
unformatted=$(printf '%s\n' "$output" \
  | sed -n -E 's/^(.+):[0-9]+:[0-9]+: (error|warning): code should be clang-formatted.*/\1/p' \
  | sort -u)
if [ -n "$unformatted" ]; then
  echo "Files clang-format would change (run: make format):" >&2
  printf '%s\n' "$unformatted" | sed 's/^/  /' >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "format check: $formatter failed:" >&2
  printf '%s\n' "$output" >&2
  exit 1
fi
echo "format check: ${#list[@]} files clean"
