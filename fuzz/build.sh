#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzzer.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in a tree of their own, build-fuzz (not part of the normal build).
#   fuzz/build.sh                   -> build-fuzz/fuzz/NAME_fuzzer for every target
#   fuzz/build.sh run [SECS] [NAME] -> build, then fuzz each target (or only NAME) for SECS
#                                      seconds (default 60); fails on the first crash, hang,
#                                      leak or sanitizer report
# Seeds: fuzz/corpus/NAME/ (the RTF reader: the RTF test fixtures); dictionary: fuzz/NAME.dict.
# What the fuzzer finds goes to build-fuzz/corpus/NAME/, crashing inputs to build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "clang++ not found: the fuzz targets need clang (scripts/install-deps.sh --check)" >&2; exit 1; }
out=build-fuzz
jobs=$(nproc)

# clang's "undefined" leaves out float-cast-overflow (a number too large for an int), which
# untrusted numbers in files can reach: it is added by name.
sanitize=address,undefined,float-cast-overflow
# No precompiled headers: clang refuses one built with other macro definitions, and the
# fuzz targets build few files.
cmake -S . -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DQM_FUZZ=ON \
  -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON \
  "-DCMAKE_CXX_FLAGS=-O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,$sanitize -fno-sanitize-recover=all" \
  "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=$sanitize" >/dev/null
cmake --build "$out" -j "$jobs" --target fuzzers

[ "${1:-}" = run ] || exit 0
secs=${2:-60}
only=${3:-}

seeds_of() {
  case "$1" in
    rtf_reader) echo tests/fixtures/rtf ;;
    *) echo "fuzz/corpus/$1" ;;
  esac
}
max_len_of() {
  case "$1" in
    rtf_reader) echo 65536 ;;
    metafile) echo 32768 ;;
    *) echo 8192 ;;
  esac
}

# Fontconfig keeps what Qt asked it for until the process ends: not a leak of ours.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
mkdir -p "$out/crashes"

# Fuzzes one target for $secs seconds; says what went wrong and fails on a finding.
fuzz_one() {
  local name=$1
  local exe="$out/fuzz/${name}_fuzzer"
  local corpus="$out/corpus/$name"
  mkdir -p "$corpus"
  local args=("$corpus" "$(seeds_of "$name")" -max_total_time="$secs" -max_len="$(max_len_of "$name")"
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/crashes/$name-")
  [ -f "fuzz/$name.dict" ] && args+=(-dict="fuzz/$name.dict")
  if ! "$exe" "${args[@]}" >"$out/$name.log" 2>&1; then
    tail -n 60 "$out/$name.log" >&2
    echo "fuzz target $name failed (full log: $out/$name.log); reproduce with: $exe $out/crashes/$name-<file>" >&2
    touch "$out/$name.failed"
    return 1
  fi
  echo "== fuzzed $name for ${secs}s"
  grep -E '^(stat::number_of_executed_units|Done )' "$out/$name.log" || true
}

# The targets run side by side, one per processor; each marks its failure with a file.
rm -f "$out"/*.failed
ran=0
for src in fuzz/*_fuzzer.cpp; do
  name=$(basename "$src" _fuzzer.cpp)
  [ -z "$only" ] || [ "$only" = "$name" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$name" &
  ran=$((ran + 1))
done
wait
[ "$ran" -gt 0 ] || { echo "no fuzz target ${only:+named $only }was found in $out/fuzz" >&2; exit 1; }
! ls "$out"/*.failed >/dev/null 2>&1 || exit 1
