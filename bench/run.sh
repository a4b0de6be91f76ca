#!/usr/bin/env bash
# make bench: every benchmark run against the simulated controller, then the one table.
# Usage: bench/run.sh BUILD_DIR    (results in BUILD_DIR/bench, the table also in table.txt)
set -uo pipefail

build=${1:-build}
bench="$build/bin/obflash_bench"
out="$build/bench"
runs=3
wait_seconds=20
[[ -x "$bench" ]] || { echo "bench: $bench is missing; build first" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

# A run that hangs is stopped; it then counts as a failed run in the table.
run() {
    local limit=$1 name=$2
    shift 2
    echo "bench: $name" >&2
    timeout --kill-after=5 "$limit" "$bench" "$@" --out "$out/$name.json" 2>>"$out/stderr.txt" ||
        echo "bench: $name failed (see $out/stderr.txt)" >&2
}

for boot in new old; do
    for n in $(seq "$runs"); do
        run $((wait_seconds + 120)) "update-$boot-$n" update --boot "$boot" --wait "$wait_seconds"
    done
done
for n in $(seq "$runs"); do
    run 60 "startup-$n" startup
    run 120 "load-$n" load
    run 120 "log-$n" log
done

echo >&2
"$bench" report "$out" | tee "$out/table.txt"
