#!/usr/bin/env bash
# Fuzzes the drawing reader for SECONDS seconds (default 60) with libFuzzer; exits non-zero on a finding.
# Usage: scripts/fuzz.sh [SECONDS]. Build folder: build-fuzz (clang, ASan + UBSan); findings land in
# build-fuzz/findings, the working corpus in build-fuzz/corpus (seeded from ../shared/dwg-corpus).
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
sanitizers="address,undefined"

cmake -G Ninja -S "$root" -B "$build" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,$sanitizers -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers" \
    -DDARV_FUZZ=ON -DDARV_GUI=OFF >/dev/null
ninja -C "$build" -j2 dwg_fuzz

corpus="$build/corpus"
findings="$build/findings"
mkdir -p "$corpus" "$findings"
seeds="$root/../shared/dwg-corpus"
if compgen -G "$seeds/*.dwg" >/dev/null; then
    for seed in "$seeds"/*.dwg; do
        cp -n "$seed" "$corpus/" || true
    done
fi

exec "$build/fuzz/dwg_fuzz" "$corpus" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1
