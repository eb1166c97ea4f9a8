#!/usr/bin/env bash
# Runs the benchmarks of a Release build and prints one table: median, min
# and max of each figure, the panel scenes also as a ratio against the plain
# OpenGL frame drawn in the same iterations and as the share of the screen
# drawn per frame, and the target each figure is held to. The busy scenes are
# timed a second time with every changed frame drawn whole ("drawn whole"),
# which is what partial frames are measured against. The machine's
# other load shows in every absolute figure; the ratios move less. The same
# scenes drawn by the OpenGL ES 2 renderer follow, their ratio taken against
# the OpenGL 1.x renderer's median.
#   scripts/bench-run.sh build-bench
set -euo pipefail
build=${1:-build-bench}
repetitions=${BENCH_REPETITIONS:-9}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

gbench=(--benchmark_format=csv --benchmark_repetitions="$repetitions"
        --benchmark_report_aggregates_only=true)
echo "running the panel frames (off-screen, 1280 x 768) ..." >&2
"$build/bench/panel_bench" "${gbench[@]}" >"$work/panel.csv"
echo "running the core step ..." >&2
"$build/bench/core_bench" "${gbench[@]}" >"$work/core.csv"

echo "running velkor-trace 100,000 steps ($repetitions times) ..." >&2
: >"$work/trace.txt"
for _ in $(seq "$repetitions"); do
  start=$(date +%s%N)
  "$build/tools/velkor-trace" --steps 100000 >/dev/null
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))" >>"$work/trace.txt"  # microseconds
done

echo "measuring the idle CPU under Xvfb (10 s) ..." >&2
idle=$("$here/bench-idle-cpu.sh" "$build/app/velkor" || echo "-")
echo "measuring the CPU running at Fast under Xvfb (10 s) ..." >&2
fast=$("$here/bench-idle-cpu.sh" "$build/app/velkor" fast || echo "-")

awk -F, -v idle="$idle" -v fast="$fast" -v trace="$work/trace.txt" '
  function unit_ms(v, u) {
    if (u == "ns") return v / 1e6;
    if (u == "us") return v / 1e3;
    if (u == "s") return v * 1e3;
    return v;
  }
  # The header of each file names its columns (counters come last).
  /^name,/ {
    delete col;
    for (i = 1; i <= NF; ++i) { h = $i; gsub(/"/, "", h); col[h] = i }
    next
  }
  /^"/ {
    name = $1; gsub(/"/, "", name);
    stat = name; sub(/.*_/, "", stat);
    base = name; sub(/_[a-z]+$/, "", base); sub(/\/.*/, "", base);
    real[base, stat] = unit_ms($col["real_time"], $col["time_unit"]);
    cpu[base, stat] = unit_ms($col["cpu_time"], $col["time_unit"]);
    if ("ratio" in col) ratio[base, stat] = $col["ratio"];
    if ("damaged" in col) damaged[base, stat] = $col["damaged"];
    if ($col["error_occurred"] == "true") failed[base] = $col["error_message"];
  }
  function row(label, med, lo, hi, r, share, target) {
    printf "%-38s %10s %10s %10s %8s %8s   %s\n", label, med, lo, hi, r, share, target;
  }
  function ms(v) { return sprintf("%.2f ms", v) }
  function us(v) { return sprintf("%.3f us", v * 1e3) }
  function scene(label, b, target) {
    if (b in failed) { row(label, "failed", "", "", "", "", failed[b]); return }
    row(label, ms(real[b, "median"]), ms(real[b, "min"]), ms(real[b, "max"]),
        sprintf("%.2f", ratio[b, "median"]), sprintf("%.1f%%", 100 * damaged[b, "median"]), target);
  }
  # An ES 2 row: its ratio is to the median of the OpenGL 1.x row (gl1).
  function es2(label, b, gl1, target) {
    if (b in failed) { row(label, "failed", "", "", "", "", failed[b]); return }
    r = real[gl1, "median"] > 0 ? sprintf("%.2f gl1", real[b, "median"] / real[gl1, "median"]) : "";
    row(label, ms(real[b, "median"]), ms(real[b, "min"]), ms(real[b, "max"]), r, "", target);
  }
  END {
    n = 0;
    while ((getline line < trace) > 0) t[++n] = line / 1e3;
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (t[j] < t[i]) { x = t[i]; t[i] = t[j]; t[j] = x }
    row("benchmark", "median", "min", "max", "/ raw GL", "drawn", "target");
    scene("panel frame: idle start screen", "BM_PanelIdle", "<= 5 ms median");
    scene("panel frame: instr. zoomed, Fast run", "BM_PanelFastZoomed", "<= 3 ms, <= 0.35 raw");
    scene("  the same, every change drawn whole", "BM_PanelFastZoomedWhole", "-");
    scene("panel frame: pop-up, table scrolled", "BM_PanelPopUpScrolled", "<= 10 ms median");
    scene("panel frame: FETCH/DECODE click", "BM_PanelFetchClick", "-");
    scene("  the same, drawn whole", "BM_PanelFetchClickWhole", "-");
    scene("panel frame: instruction pop-up opens", "BM_PanelPopUpOpening", "-");
    scene("  the same, drawn whole", "BM_PanelPopUpOpeningWhole", "-");
    b = "BM_RawGlScene";
    row("raw OpenGL scene (reference)", ms(real[b, "median"]), ms(real[b, "min"]), ms(real[b, "max"]), "1.00", "100%", "-");
    b = "BM_InstructionStep";
    row("core instruction step (CPU time)", us(cpu[b, "median"]), us(cpu[b, "min"]), us(cpu[b, "max"]), "", "", "<= 2 us");
    row("core instruction step (wall time)", us(real[b, "median"]), us(real[b, "min"]), us(real[b, "max"]), "", "", "");
    b = "BM_HistoryStepBack";
    row("Schritt zurueck, history full (CPU)", us(cpu[b, "median"]), us(cpu[b, "min"]), us(cpu[b, "max"]), "", "", "< 1 frame (33 ms)");
    b = "BM_HistoryFrame";
    row("history's share of every frame (CPU)", us(cpu[b, "median"]), us(cpu[b, "min"]), us(cpu[b, "max"]), "", "", "");
    b = "BM_StartToFirstFrame";
    row("start to first frame (fonts decoded)", ms(real[b, "median"]), ms(real[b, "min"]), ms(real[b, "max"]), "", "", "<= 250 ms");
    es2("ES 2 frame: idle start screen", "BM_PanelIdleEs2", "BM_PanelIdle", "<= 5 ms median");
    es2("ES 2 frame: instr. zoomed, Fast run", "BM_PanelFastZoomedEs2", "BM_PanelFastZoomed", "<= 10 ms median");
    es2("ES 2 frame: pop-up, table scrolled", "BM_PanelPopUpScrolledEs2", "BM_PanelPopUpScrolled", "<= 10 ms median");
    es2("ES 2 start to first frame", "BM_StartToFirstFrameEs2", "BM_StartToFirstFrame", "<= 250 ms");
    if (n > 0)
      row("velkor-trace 100,000 steps (process)", ms(t[int((n + 1) / 2)]), ms(t[1]), ms(t[n]), "", "", "-");
    row("idle CPU, window under Xvfb, 10 s", idle "%", "", "", "", "", "<= 2% of one core");
    row("CPU at Fast, window under Xvfb, 10 s", fast "%", "", "", "", "", "<= 10% of one core");
  }
' "$work/panel.csv" "$work/core.csv"
