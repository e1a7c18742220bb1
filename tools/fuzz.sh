#!/usr/bin/env bash
# Builds the fuzz targets with clang, sanitizers and libFuzzer, seeds them
# with valid record answers and instrument descriptors, and runs each for a
# bounded number of inputs: the answer decoder, then the USB descriptor reader.
# Usage: tools/fuzz.sh [build folder]   (default: build-fuzz in the source tree)
# FUZZ_RUNS and FUZZ_SECONDS bound the run (defaults 300000 inputs, 120 s).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-fuzz}"
runs="${FUZZ_RUNS:-300000}"
seconds="${FUZZ_SECONDS:-120}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++-14 -DTESTER_BUILD_TESTS=ON -DTESTER_BUILD_FUZZERS=ON >/dev/null
cmake --build "$build" --target fuzz_answers fuzz_seeds fuzz_usbdescriptors -j2

corpus="$build/fuzz/corpus"
descriptor_corpus="$build/fuzz/descriptor-corpus"
rm -rf "$corpus" "$descriptor_corpus"
mkdir -p "$corpus" "$descriptor_corpus"
"$build/fuzz/fuzz_seeds" "$corpus" "$descriptor_corpus"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
cd "$build/fuzz"
./fuzz_answers -runs="$runs" -max_total_time="$seconds" -max_len=128 -print_final_stats=1 "$corpus"
./fuzz_usbdescriptors -runs="$runs" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$descriptor_corpus"
