#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build on a scratch copy of its seed
# corpus (fuzz/corpus/<name>), each for a bounded time.
#   run-fuzz.sh BUILD_DIR SECONDS [SEED]
# With SEED the runs are repeatable (CI). Every seed input is run first, so a
# saved crash input fails the run at once. A crash leaves its input in
# BUILD_DIR/fuzz-crashes/<name>/ and fails the whole run.
set -euo pipefail
build=$(cd "$1" && pwd)  # absolute: a target may change its directory
seconds=$2
seed=${3:-}
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(romload core_ops edit_strings text polygon font_table preferences event_script)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1
# The targets that go through files keep them in memory when they can: a
# slot save flushes to the disk, which would make each run ten times slower.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
start=$(date +%s)
failed=0
for name in "${targets[@]}"; do
  work="$build/fuzz-work/$name"
  crashes="$build/fuzz-crashes/$name"
  rm -rf "$work"
  mkdir -p "$work" "$crashes"
  cp "$root/fuzz/corpus/$name/"* "$work/"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0
        -artifact_prefix="$crashes/")
  [ -n "$seed" ] && args+=(-seed="$seed")
  echo "fuzz $name: ${seconds}s"
  if ! "$build/fuzz/fuzz_$name" "${args[@]}" "$work" >"$build/fuzz-$name.log" 2>&1; then
    echo "fuzz $name: FAILED (log $build/fuzz-$name.log, inputs in $crashes)"
    tail -n 40 "$build/fuzz-$name.log"
    failed=$((failed + 1))
  else
    grep -E '^#[0-9]+[[:space:]]+DONE' "$build/fuzz-$name.log" | tail -n 1 || true
  fi
done
passed=$((${#targets[@]} - failed))
echo "fuzz: $(( $(date +%s) - start ))s for ${#targets[@]} targets"
echo "fuzz: ${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
