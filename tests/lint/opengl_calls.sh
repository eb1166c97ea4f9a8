#!/usr/bin/env bash
# Only the renderers (graphics/sgl_renderer_*.cpp) call OpenGL in the drawing
# library, and only the frame recorder calls them: a call anywhere else would
# bypass the recording of frames, drawing into a frame that is then not sent,
# or missing from one compared with the last, and would reach OpenGL 1.x
# whichever renderer the context has. Comments and string literals are not
# code (line numbers kept).
#
# Usage: opengl_calls.sh [root]   (exit 1 and one line per offending call)
set -u
cd "${1:-.}" || exit 2
offences=0
for f in graphics/*.cpp graphics/*.h; do
  [ -f "$f" ] || continue
  case "$f" in graphics/sgl_renderer_*.cpp) continue ;; esac
  found=$(perl -0777 -pe 's{(/\*.*?\*/)|//[^\n]*|"(?:[^"\\\n]|\\.)*"|'"'"'(?:[^'"'"'\\\n]|\\.)*'"'"'}
                          {defined $1 ? $1 =~ tr/\n//cdr : "\"\""}gse' "$f" |
    grep -n -o -E '(^|[^A-Za-z0-9_])gl[A-Z][A-Za-z0-9_]*[[:space:]]*\(' |
    sed -E "s#^([0-9]+):[^g]*(gl[A-Za-z0-9_]*).*#$f:\1: \2 (go through graphics/sgl_stream_internal.h)#")
  if [ -n "$found" ]; then
    printf '%s\n' "$found"
    offences=$((offences + $(printf '%s\n' "$found" | wc -l)))
  fi
done
if [ "$offences" -gt 0 ]; then
  echo "opengl calls: $offences direct call(s) outside the renderers" >&2
  exit 1
fi
echo "opengl calls: only the renderers call OpenGL"
