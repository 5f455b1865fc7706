#!/usr/bin/env bash
# Runs the fuzz targets one after another and prints what each did:
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]      (every target when none is named)
# Each target starts from its checked-in seeds (fuzz/corpus/TARGET) and the corpus grown by
# earlier runs (BUILD_DIR/fuzz-corpus/TARGET, kept out of the source tree). An input that
# crashes, leaks, trips a sanitizer or a property, allocates 64 MB at once, makes the process
# pass 256 MB or takes 10 s is saved in BUILD_DIR/fuzz-findings/TARGET/ and counts as a finding;
# the exit status is 1 when any target found something. Every run adds its row to
# BUILD_DIR/fuzz-logs/history, so the executions of many runs can be added up.
set -uo pipefail
source_dir="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?build folder}" && pwd)"
seconds="${2:?seconds per target}"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz-sdt fuzz-cfd fuzz-program-set fuzz-program-image fuzz-port-settings
             fuzz-code-texts fuzz-address)
fi

# A small quarantine and allocation stacks of one frame: several times the executions a second.
# A use after free is still caught within the next 16 MB allocated; run a saved input again with
# the defaults for the full stacks. One frame, the allocation's own caller, is always exact;
# deeper frames are walked through Qt's libraries, built without frame pointers, and come out
# different nearly every time, and the sanitizer keeps every stack it has seen: with eight
# frames a run grew by some 200 MB in a million inputs until it passed the memory limit.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1:quarantine_size_mb=16:malloc_context_size=1"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$source_dir/../.ci/lsan.supp:print_suppressions=0}"

# The longest input of each target: somewhat longer than the longest file of its kind the
# program meets, so that what lies past the end is tried too, and no longer, since the time of
# each run grows with the input. A cupfeed data file is 5130 bytes, and a longer one is read as
# its first 5130; a set-up file of 31 rows some 430; only the first 256 bytes of the port
# settings count; the code texts are records of a code and a line of text.
max_len() {
    case "$1" in
        fuzz-cfd) echo 5200 ;;
        fuzz-sdt) echo 2048 ;;
        fuzz-port-settings) echo 512 ;;
        fuzz-code-texts) echo 1024 ;;
        fuzz-address) echo 64 ;;
        *) echo 4096 ;;
    esac
}

# The last value of "name: N" in a log.
stat() { grep -a -o "$2: *[0-9]*" "$1" | tail -1 | grep -o '[0-9]*$'; }

status=0
printf '%-20s %12s %9s %7s %7s %7s %8s  %s\n' target executions exec/s cov ft corpus "peak MB" findings
for t in "${targets[@]}"; do
    bin="$build/bin/$t"
    if [ ! -x "$bin" ]; then
        echo "$t: not built ($bin)" >&2
        status=1
        continue
    fi
    corpus="$build/fuzz-corpus/$t"
    findings="$build/fuzz-findings/$t"
    # Each run writes a log of its own, so that runs of one target side by side (on more cores)
    # keep their figures apart; the last run's log is left as TARGET.log.
    log="$build/fuzz-logs/$t.log"
    running="$build/fuzz-logs/$t.$$.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    before=$(find "$findings" -type f | wc -l)
    dict=()
    [ -f "$source_dir/dict/$t.dict" ] && dict=("-dict=$source_dir/dict/$t.dict")
    "$bin" -max_total_time="$seconds" -rss_limit_mb=256 -malloc_limit_mb=64 -timeout=10 \
        -max_len="$(max_len "$t")" -print_final_stats=1 -artifact_prefix="$findings/" \
        "${dict[@]}" "$corpus" "$source_dir/corpus/$t" >"$running" 2>&1
    rc=$?
    mv -f "$running" "$log"
    found=$(( $(find "$findings" -type f | wc -l) - before ))
    if [ "$rc" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
    row=$(printf '%-20s %12s %9s %7s %7s %7s %8s  %s' "$t" \
        "$(stat "$log" stat::number_of_executed_units)" \
        "$(stat "$log" stat::average_exec_per_sec)" \
        "$(stat "$log" cov)" "$(stat "$log" ft)" "$(stat "$log" corp)" \
        "$(stat "$log" stat::peak_rss_mb)" "$found")
    echo "$row"
    echo "$(date -u +%FT%TZ) ${seconds}s $row" >>"$build/fuzz-logs/history"
    if [ "$found" -ne 0 ]; then
        status=1
        # What went wrong and where the input is, for the log of whoever ran this.
        grep -E -A30 'ERROR|Assertion|runtime error|property does not hold' "$log" | head -60 >&2
        grep -E '^SUMMARY|Test unit written' "$log" >&2
        echo "($t: full log in $log)" >&2
    fi
done
exit $status
