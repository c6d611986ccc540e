#!/usr/bin/env bash
# Installs what is missing, builds and starts DARV 2007; on its first start the window sets up its data folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target darv2007 darv2007-install darv2007-cli
exec build/app/darv2007 "$@"
