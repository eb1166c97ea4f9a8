#!/usr/bin/env bash
# Builds the layering probes of tests/lint/CMakeLists.txt: the public probe
# must compile, and so must the panel's public probe; the internal,
# unlinked and panel-internal probes must fail, and for the
# right reason (their header not found), not for some other error.
#
# Usage: layering_probes.sh <cmake> <build directory>
set -u
cmake=$1
build=$2
failures=0

if ! out=$("$cmake" --build "$build" --target velkor_layering_probe_public 2>&1); then
  echo "FAIL: a consumer of the widget library cannot compile against public headers:" >&2
  printf '%s\n' "$out" | tail -n 20 >&2
  failures=$((failures + 1))
fi

if ! out=$("$cmake" --build "$build" --target velkor_layering_probe_panel_public 2>&1); then
  echo "FAIL: a consumer of the panel cannot compile against its public header:" >&2
  printf '%s\n' "$out" | tail -n 20 >&2
  failures=$((failures + 1))
fi

for probe in internal:graphics/sgl_internal.h unlinked:core/mycode.h \
             panel_internal:panel/Velkor_symbology_layer_internal.h; do
  name=${probe%%:*}
  header=${probe#*:}
  if out=$("$cmake" --build "$build" --target "velkor_layering_probe_$name" 2>&1); then
    echo "FAIL: the $name probe reaches $header" >&2
    failures=$((failures + 1))
  elif ! printf '%s\n' "$out" | grep -q -E "$header('|\"|:)? ?(: No such file|file not found)|'$header' file not found"; then
    echo "FAIL: the $name probe failed, but not because $header was not found:" >&2
    printf '%s\n' "$out" | tail -n 20 >&2
    failures=$((failures + 1))
  fi
done

if [ "$failures" -gt 0 ]; then
  exit 1
fi
echo "layering probes: public headers reached, internal and unlinked ones not"
