#!/usr/bin/env bash
# The tree checkers and the test-ratio report, each run on a small tree with
# known faults: every fault must be named (file and line where there is one),
# and nothing else. A checker that passes everything would otherwise go
# unnoticed, since the real tree is meant to be clean.
#
# Usage: checkers_test.sh <tests/lint directory> <repository root>
set -u
lint=$1
repo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# put <file> <line>... : writes a file of the scratch tree.
put() {
  local file=$1
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\n' "$@" >"$file"
}

# expect_lines <what> <expected> <actual>: the two line sets must be equal.
expect_lines() {
  local what=$1 expected actual
  expected=$(printf '%s\n' "$2" | grep -v '^$' | sort)
  actual=$(printf '%s\n' "$3" | grep -v '^$' | sort)
  if [ "$expected" != "$actual" ]; then
    fail "$what"
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /' >&2
  fi
}

# ------------------------------------------------------------ include boundaries
tree=$work/includes
mkdir -p "$tree"
(
  cd "$tree"
  put core/mycode.cpp '#include "core/mycode.h"' '#include "core/mycode_internal.h"' \
      '#include "graphics/sgl.h"' '#include <cstdio>'
  put graphics/sgl_text.cpp '#include "sgl_internal.h"' '#include <GL/gl.h>' \
      '#include "../core/mycode.h"'
  put widgets/PushButton.cpp '#include "graphics/sgl.h"' '#include "graphics/sgl_internal.h"' \
      '#include "core/mycode.h"' '#include <widgets/Focus.h>'
  put display/Velkor_PushButton.cpp '#include "widgets/PushButton.h"' '#include "graphics/sgl.h"' \
      '  #  include "panel/Velkor_symbology_layer.h"'
  put panel/Velkor_symbology_layer.cpp '#include "display/Velkor_PushButton.h"' \
      '#include "core/mycode.h"' '#include "host/host_application.h"'
  put host/host_window.cpp '#include "widgets/interactivity_mapping.h"' '#include "graphics/sgl.h"' \
      '#include "panel/Velkor_symbology_layer.h"'
  put app/main.cpp '#include "panel/Velkor_symbology_layer.h"' '#include "host/host_application.h"' \
      '#include "core/mycode_internal.h"'
  put tools/velkor_trace.cpp '#include "core/mycode.h"'
  put bench/graphics_bench.cpp '#include "tests/support/offscreen_gl.h"' '#include "graphics/sgl.h"'
  put tests/graphics/text_test.cpp '#include "graphics/sgl_internal.h"' \
      '#include "panel/Velkor_font_table.h"' '#include "tests/support/gl_fixture.h"'
  put tests/widgets/font_test.cpp '#include "tests/graphics/font_table_builder.h"' \
      '#include "graphics/sgl_internal.h"'
  put tests/support/gl_fixture.cpp '#include "graphics/sgl_internal.h"'
  put platform/thing.cpp '#include "core/mycode.h"'
)
output=$(bash "$lint/include_boundaries.sh" "$tree" 2>/dev/null)
status=$?
[ "$status" -eq 1 ] || fail "include boundaries: exit status $status on a faulty tree, not 1"
expect_lines "include boundaries: the offences named" "core/mycode.cpp:3
graphics/sgl_text.cpp:3
widgets/PushButton.cpp:2
widgets/PushButton.cpp:3
display/Velkor_PushButton.cpp:3
panel/Velkor_symbology_layer.cpp:3
host/host_window.cpp:3
app/main.cpp:3
tests/widgets/font_test.cpp:2
platform/thing.cpp:1" "$(printf '%s\n' "$output" | cut -d: -f1,2)"
# Each line says why.
printf '%s\n' "$output" | grep -q '^core/mycode.cpp:3: #include "graphics/sgl.h": core/ includes nothing of ours$' ||
  fail "include boundaries: core's offence not explained"
printf '%s\n' "$output" | grep -q '^host/host_window.cpp:3: .*host/ may include only graphics, widgets$' ||
  fail "include boundaries: host's offence not explained"
printf '%s\n' "$output" | grep -q '^widgets/PushButton.cpp:2: .*internal header of graphics/' ||
  fail "include boundaries: internal header not explained"

rm -rf "$tree/platform" "$tree/core/mycode.cpp" "$tree/graphics" "$tree/widgets" "$tree/display" \
       "$tree/panel" "$tree/host" "$tree/app" "$tree/tests/widgets"
bash "$lint/include_boundaries.sh" "$tree" >/dev/null 2>&1 ||
  fail "include boundaries: a clean tree is refused"

# ------------------------------------------------------------------ OpenGL calls
tree=$work/opengl
put "$tree/graphics/sgl_renderer_gl1.cpp" 'void f() { glEnable(GL_BLEND); }'
put "$tree/graphics/sgl_stream.cpp" 'void g() { r->enable(r->self, GL_BLEND); }' '  glClear(0);'
put "$tree/graphics/sgl_lines.cpp" '// glEnable(GL_BLEND) in a comment' '/* glClear(' ' x) */ puts("glClear(");' \
    "sgliGlEnable(GL_BLEND); GLint limit = GL_MAX_TEXTURE_SIZE; c = '(';" \
    '  if (x) glDrawArrays (mode, 0, n);'
output=$(bash "$lint/opengl_calls.sh" "$tree" 2>/dev/null)
[ $? -eq 1 ] || fail "opengl calls: a direct call passes"
expect_lines "opengl calls: the direct calls named" \
  "$(printf '%s\n' "graphics/sgl_lines.cpp:5: glDrawArrays" "graphics/sgl_stream.cpp:2: glClear")" \
  "$(printf '%s\n' "$output" | cut -d' ' -f1,2)"

# ------------------------------------------------------------------ format check
tree=$work/format
mkdir -p "$tree/core"
cp "$repo/.clang-format" "$tree/"
put "$tree/core/good.cpp" 'int Good(int a) {' '  return a + 1;' '}'
put "$tree/core/bad.cpp" 'int  Bad( int a ){return a+1;}'
put "$tree/core/bad.h" '#pragma once' 'int*  Worse(int *a);'
output=$(bash "$lint/format_check.sh" "$tree" 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "format check: exit status $status on a badly formatted tree, not 1"
expect_lines "format check: the files named" "core/bad.cpp
core/bad.h" "$(printf '%s\n' "$output" | sed -n 's/^  //p')"
rm "$tree/core/bad.cpp" "$tree/core/bad.h"
bash "$lint/format_check.sh" "$tree" >/dev/null 2>&1 || fail "format check: a clean tree is refused"

# ---------------------------------------------------- design document mentions
tree=$work/mentions
mkdir -p "$tree"
put "$tree/core/a.cpp" 'int a;  // fine' "// as P""art 1.2 says"
put "$tree/core/b.cpp" 'int b;'
output=$(bash "$lint/no_design_document_mentions.sh" "$tree" 2>&1)
[ $? -eq 1 ] || fail "design document lint: a mention passes"
printf '%s\n' "$output" | grep -q '^core/a.cpp:2:' || fail "design document lint: mention not located"
printf '%s\n' "$output" | grep -q '^core/b.cpp' && fail "design document lint: a clean file named"

# ------------------------------------------------------------- test-ratio report
tree=$work/ratio
mkdir -p "$tree"
put "$tree/core/a.cpp" 'int a;' '' 'int b;' '   ' 'int c;'
put "$tree/core/a.h" '#pragma once' 'int a();'
put "$tree/tests/core/a_test.cpp" 'TEST(A, B) {}' ''
put "$tree/tests/support/s.cpp" 'int s;' 'int t;' 'int u;'
put "$tree/panel/Velkor_font_table.cpp" '// Generated by velkor_fontgen from Liberation Sans: do not edit.' \
    'int x;' 'int y;'
put "$tree/bench/core_bench.cpp" 'int bench;'
put "$tree/tests/lint/x.sh" 'echo'
output=$(bash "$repo/scripts/test-ratio.sh" "$tree" 2>&1) || fail "test ratio: the report failed"
expect_lines "test ratio: core, panel, support and total rows" "core 5 1 0.20
panel 0 0 -
support - 3 -
total 5 4 0.80" "$(printf '%s\n' "$output" | grep -E '^(core|panel|support|total) ' | tr -s ' ')"

if [ "$failures" -gt 0 ]; then
  echo "$failures checker fault(s)" >&2
  exit 1
fi
echo "checkers: every planted fault found"
