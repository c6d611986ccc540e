#!/usr/bin/env bash
# Fuzzes a drawing reader for SECONDS seconds (default 60) with libFuzzer; exits non-zero on a finding.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET]. TARGET is dwg (default: the DWG reader, seeded from
# ../shared/dwg-corpus) or dxf (the DXF reader, seeded from ../shared/dxf-corpus and fuzz/dxf_seed.dxf, with the
# tokens of fuzz/dxf_fuzz.dict). Build folder: build-fuzz (clang, ASan + UBSan); findings land in build-fuzz/findings,
# the working corpus in build-fuzz/corpus (dwg) or build-fuzz/corpus-TARGET.
set -euo pipefail

seconds="${1:-60}"
target="${2:-dwg}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
sanitizers="address,undefined"

case "$target" in
dwg) corpus="$build/corpus" ;;
dxf) corpus="$build/corpus-dxf" ;;
*)
    echo "scripts/fuzz.sh: unknown target '$target' (dwg or dxf)" >&2
    exit 2
    ;;
esac

cmake -G Ninja -S "$root" -B "$build" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,$sanitizers -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$sanitizers" \
    -DDARV_FUZZ=ON -DDARV_GUI=OFF >/dev/null
ninja -C "$build" -j2 "${target}_fuzz"

findings="$build/findings"
mkdir -p "$corpus" "$findings"
seeds="$root/../shared/$target-corpus"
if compgen -G "$seeds/*.$target" >/dev/null; then
    for seed in "$seeds"/*."$target"; do
        cp -n "$seed" "$corpus/" || true
    done
fi
options=()
if [ "$target" = dxf ]; then
    cp -n "$root/fuzz/dxf_seed.dxf" "$corpus/" || true
    options+=(-dict="$root/fuzz/dxf_fuzz.dict")
fi

exec "$build/fuzz/${target}_fuzz" "$corpus" "${options[@]}" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1
