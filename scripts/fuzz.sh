#!/bin/sh
# `make fuzz`: builds the libFuzzer targets with clang (preset fuzz) and runs
# each one for FUZZ_SECONDS (default 180), one process at a time, on a copy of
# its seed corpus in build-fuzz/fuzz-run/<target>/ (new inputs stay there, the
# repository's corpus is only read). Exit status 1 when a target finds a
# crash, a leak, a hang or an input that breaks its checks; the input is kept
# in build-fuzz/fuzz-run/<target>/findings/.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
SECONDS_EACH=${FUZZ_SECONDS:-180}
BIN=build-fuzz/fuzz
RUN=build-fuzz/fuzz-run

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${JOBS:-2}"

found=0
ran=0
for fuzzer in "$BIN"/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    work="$RUN/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus" "$work/findings"
    if [ -d "fuzz/corpus/$name" ]; then
        cp -R "fuzz/corpus/$name/." "$work/corpus/"
    fi
    set -- -max_total_time="$SECONDS_EACH" -timeout=30 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/findings/"
    if [ -f "fuzz/dict/$name.dict" ]; then
        set -- "$@" -dict="fuzz/dict/$name.dict"
    fi
    echo "fuzz: $name for ${SECONDS_EACH} s"
    ran=$((ran + 1))
    if "$fuzzer" "$@" "$work/corpus" >"$work/log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^Done' "$work/log" || true
    else
        found=1
        echo "fuzz: $name found a problem; its log ($work/log) ends:"
        tail -n 40 "$work/log"
        ls -l "$work/findings"
    fi
done

if [ "$ran" -eq 0 ]; then
    echo "fuzz: no fuzz targets were built in $BIN" >&2
    exit 1
fi
exit "$found"
