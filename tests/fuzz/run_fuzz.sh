#!/usr/bin/env bash
# Builds one libFuzzer target with clang over the core's sources and runs it
# briefly (the core links libcurl and OpenSSL for its FTP session). Usage: run_fuzz.sh CLANGXX SRC_DIR OUT_DIR TARGET SECONDS CORE_SOURCES...
set -euo pipefail
cxx=$1 src=$2 out=$3 target=$4 seconds=$5
shift 5
# The core's sources come as one CMake list; only the .cpp files are compiled,
# without CMake's per-file definitions (--version's text is given here).
sources=()
for arg in "$@"; do
  IFS=';' read -ra parts <<<"$arg"
  for p in "${parts[@]}"; do [[ $p == *.cpp ]] && sources+=("$p"); done
done
mkdir -p "$out/corpus-$target"
"$cxx" -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -DTARLO_VERSION='"fuzz"' -I"$src/src" "$src/tests/fuzz/${target}_fuzz.cpp" "${sources[@]}" -o "$out/$target" -lcurl -lssl -lcrypto
"$out/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=0 \
  "$out/corpus-$target" 2>&1 | tail -3
