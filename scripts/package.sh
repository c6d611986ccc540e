#!/usr/bin/env bash
# Builds the Debian package darv2007 (programs, resources, menu entry, icons, man pages) in build-package
# and prints its path. Install it with: sudo apt install ./build-package/darv2007_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DDARV_TESTS=OFF >/dev/null
cmake --build build-package
if ! (cd build-package && cpack -G DEB >cpack.log 2>&1); then
    cat build-package/cpack.log >&2
    exit 1
fi
ls "$PWD"/build-package/darv2007_*.deb
