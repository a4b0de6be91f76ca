#!/usr/bin/env bash
# Runs every fuzz target of a sanitizer build for a given time, from the committed seeds.
#   fuzz/run.sh BUILD_DIR SECONDS [smoke]
# smoke: starts from the committed seeds alone, so the run is the same on every machine;
# otherwise the working corpus in BUILD_DIR/fuzz-corpus keeps what earlier runs found.
# A crash, a sanitizer report, a broken invariant or a hang fails the run; the input that
# caused it is saved in BUILD_DIR/fuzz-artifacts.
set -uo pipefail

build=${1:?build directory}
seconds=${2:?seconds per target}
mode=${3:-long}
here=$(cd "$(dirname "$0")" && pwd)

targets=(${FUZZ_TARGETS:-firmware_loader frame_decoder command_exchange burst_reader})
declare -A max_len=([firmware_loader]=65536 [frame_decoder]=4096 [command_exchange]=1024
                    [burst_reader]=512)
per_input_timeout=10

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

failed=()
for target in "${targets[@]}"; do
    binary=$build/bin/fuzz_$target
    work=$build/fuzz-corpus/$target
    artifacts=$build/fuzz-artifacts/$target
    log=$build/fuzz-logs/$target.log
    [[ -x $binary ]] || { echo "fuzz: $binary is missing (a clang build with OBFLASH_SANITIZE=ON?)" >&2; exit 1; }
    [[ $mode == smoke ]] && rm -rf "$work"
    mkdir -p "$work" "$artifacts" "$(dirname "$log")"
    options=(-max_total_time="$seconds" -timeout="$per_input_timeout" -rss_limit_mb=2048
             -max_len="${max_len[$target]}" -artifact_prefix="$artifacts/" -print_final_stats=1)
    [[ -f $here/$target.dict ]] && options+=(-dict="$here/$target.dict")
    # The outer limit catches a fuzzer that stops making progress outside any one input.
    if timeout $((seconds + 120)) "$binary" "${options[@]}" "$work" "$here/corpus/$target" \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        final=$(grep -E '^#[0-9]+.*(DONE|cov:)' "$log" | tail -1)
        cov=$(sed -E -n 's/.*cov: ([0-9]+) ft: ([0-9]+).*/cov: \1 ft: \2/p' <<<"$final")
        echo "fuzz: $target: $runs runs in ${seconds} s, $cov, corpus $(ls "$work" | wc -l) files"
    else
        echo "fuzz: $target FAILED (log $log):" >&2
        grep -E -A40 'ERROR|invariant broken|runtime error|Timeout|timeout' "$log" | head -80 >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzz: failing targets: ${failed[*]}" >&2
    exit 1
fi
