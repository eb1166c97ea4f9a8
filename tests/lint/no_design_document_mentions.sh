#!/usr/bin/env bash
# Code, comments, tests, build files and file names speak as this system's
# own: they never point at the design document or its numbered sections.
# The patterns are spelt with character classes so this file does not match
# itself.
set -u
root=${1:-.}
cd "$root" || exit 2

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files --cached --others --exclude-standard)
else
  files=$(find . -type f -not -path './build*' -not -path './.git/*' | sed 's|^\./||')
fi

section='\b[P][a]rt[ _-]?[0-9]+(\.[0-9]+)?\b'
document='\b[s]pecification\b|\b[p]er (the )?[s]pec\b|[s]pec\.md'
status=0

# Prose for readers (README, notes) is checked as well: it must not send the
# reader to the design document either.
content_hits=$(printf '%s\n' "$files" | grep -v -E '^$' | while IFS= read -r f; do
  [ -f "$f" ] || continue
  grep -n -I -i -H -E "$section|$document" -- "$f" 2>/dev/null
done)
if [ -n "$content_hits" ]; then
  echo "Mentions of the design document:" >&2
  printf '%s\n' "$content_hits" >&2
  status=1
fi

name_hits=$(printf '%s\n' "$files" | grep -i -E '[s]pec(ification)?[^a-z]|[p]art[_-]?[0-9]' \
            | grep -v -i -E 'special|specific|inspect')
if [ -n "$name_hits" ]; then
  echo "File names that mention the design document:" >&2
  printf '%s\n' "$name_hits" >&2
  status=1
fi

if [ "$status" -eq 0 ]; then
  echo "lint: $(printf '%s\n' "$files" | grep -c .) files clean"
fi
exit $status
