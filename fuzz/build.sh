#!/usr/bin/env bash
# Builds the libFuzzer target for the RTF reader with clang (not part of the normal build).
#   fuzz/build.sh            -> build-fuzz/rtf_reader_fuzzer
#   fuzz/build.sh run [SECS] -> build, then fuzz for SECS seconds (default 60) from the
#                               fixtures as seed corpus
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "clang++ not found: the fuzz target needs clang" >&2; exit 1; }
out=build-fuzz
mkdir -p "$out/obj" "$out/corpus"
flags=(-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer-no-link,address,undefined -Isrc $(pkg-config --cflags Qt6Gui))
objs=()
# Objects are rebuilt when their source or any header they may include is newer.
newest_header=$(ls -t src/core/gbk.h src/rtf/*.h | head -1)
for src in src/core/gbk.cpp src/rtf/*.cpp fuzz/rtf_reader_fuzzer.cpp; do
  obj="$out/obj/$(echo "$src" | tr / _).o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ "$newest_header" -nt "$obj" ]; then
    clang++ "${flags[@]}" -c "$src" -o "$obj"
  fi
  objs+=("$obj")
done
clang++ -fsanitize=fuzzer,address,undefined "${objs[@]}" $(pkg-config --libs Qt6Gui) -o "$out/rtf_reader_fuzzer"
if [ "${1:-}" = run ]; then
  cp -n tests/fixtures/rtf/*.rtf "$out/corpus/" 2>/dev/null || true
  exec "$out/rtf_reader_fuzzer" "$out/corpus" -max_total_time="${2:-60}" -max_len=65536 \
    -timeout=10 -rss_limit_mb=4096 -dict=fuzz/rtf.dict
fi
