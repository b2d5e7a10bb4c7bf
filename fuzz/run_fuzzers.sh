#!/usr/bin/env bash
# Runs fuzz targets one after the other, each for a number of seconds, on its seed corpus and
# on what earlier runs in the same build folder found. A finding (crash, sanitizer report,
# broken check, timeout, memory limit) fails the run and prints its reproducer.
#
#     run_fuzzers.sh <fuzz build folder> <seconds per target> <target>...
set -uo pipefail

build=$(cd "$1" && pwd)
seconds=$2
shift 2
source=$(cd "$(dirname "$0")" && pwd)
dictionaries=$source/dictionaries

dictionary_of() {
    case $1 in
        qms_reader) echo qms ;;
        gls_reader) echo gls ;;
        picture) echo picture ;;
        *) echo xml ;;
    esac
}

status=0
summary=()
for target in "$@"; do
    program=$build/${target}_fuzzer
    corpus=$build/corpus/$target
    findings=$build/findings/$target/
    log=$build/logs/$target.log
    mkdir -p "$corpus" "$findings" "$(dirname "$log")" "$build/work"
    echo "== $target: ${seconds} s"
    # Inputs that once were findings are fed again on every run.
    regressions=()
    [ -d "$source/regressions/$target" ] && regressions=("$source/regressions/$target")
    # A single allocation beyond what a picture of the largest size needs (1.2 GB, the
    # decoders' limit) is a finding: a few bytes of input must not be able to ask for it.
    "$program" -max_total_time="$seconds" -timeout=30 -max_len=8192 -print_final_stats=1 \
        -malloc_limit_mb=1150 \
        -dict="$dictionaries/$(dictionary_of "$target").dict" -artifact_prefix="$findings" \
        "$corpus" "$build/seeds/$target" "${regressions[@]}" >"$log" 2>&1
    result=$?
    # A process that ended on a finding leaves its program folder behind.
    rm -rf "$build/work/${target}_fuzzer-"*
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    corpus_size=$(ls "$corpus" | wc -l)
    if [ "$result" -eq 0 ]; then
        summary+=("$target: ${runs:-?} executions, corpus $corpus_size files, no finding")
        continue
    fi
    status=1
    summary+=("$target: FINDING after ${runs:-?} executions (exit $result)")
    echo "---- $target failed; the end of $log:"
    tail -n 80 "$log"
    for reproducer in "$findings"*; do
        [ -f "$reproducer" ] || continue
        echo "---- reproducer $reproducer ($(stat -c %s "$reproducer") bytes), base64:"
        base64 "$reproducer" | head -c 16384
        echo
        echo "---- run it again with: $program $reproducer"
    done
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
exit $status
