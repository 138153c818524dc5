#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS, one after another, on a scratch copy of its
# seed corpus in fuzz/corpus, so that the seeds stay as they are:
#   fuzz/run.sh SECONDS [TARGET...]      (all targets when none are named; TARGET as in fuzz_TARGET)
# MIREKA_FUZZ_BUILD names the build folder (default build-fuzz), MIREKA_FUZZ_JOBS the build's
# jobs, MIREKA_FUZZ_RUNS an execution count at which a target stops before its time is up.
# Prints executions, findings and seconds per target; the crash files are kept, and the exit
# status is 1, when there is any finding.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:?usage: fuzz/run.sh SECONDS [TARGET...]}"
shift
build="${MIREKA_FUZZ_BUILD:-$here/build-fuzz}"
cmake -S "$here/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"${MIREKA_FUZZ_JOBS:-$(nproc)}" >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for exe in "$build"/fuzz_*; do
        [ -x "$exe" ] && targets+=("${exe##*/fuzz_}")
    done
fi
scratch="$(mktemp -d "${TMPDIR:-/tmp}/mireka-fuzz.XXXXXX")"
total=0
printf '%-18s %12s %9s %8s\n' target executions findings seconds
for t in "${targets[@]}"; do
    mkdir -p "$scratch/corpus-$t"
    if [ -d "$here/fuzz/corpus/$t" ]; then cp -r "$here/fuzz/corpus/$t/." "$scratch/corpus-$t/"; fi
    # A finding ends the target's run early; the others still run.
    started=$SECONDS
    "$build/fuzz_$t" -max_total_time="$seconds" -runs="${MIREKA_FUZZ_RUNS:--1}" -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$scratch/$t-" "$scratch/corpus-$t" \
        >"$scratch/$t.log" 2>&1 || true
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$t.log" | tail -1)"
    found="$(find "$scratch" -maxdepth 1 -name "$t-*" \( -name '*-crash-*' -o -name '*-leak-*' \
        -o -name '*-timeout-*' -o -name '*-oom-*' \) | wc -l)"
    total=$((total + found))
    printf '%-18s %12s %9s %8s\n' "$t" "${runs:-?}" "$found" "$((SECONDS - started))"
done
if [ "$total" -gt 0 ]; then
    echo "Findings and logs: $scratch"
    exit 1
fi
rm -rf "$scratch"
