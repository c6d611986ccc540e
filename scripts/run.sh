#!/usr/bin/env bash
# Installs what is missing, builds, sets up the data folder on first use and starts DARV 2007.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target darv2007 darv2007-install darv2007-cli

config="${XDG_CONFIG_HOME:-$HOME/.config}/OVT.conf"
if ! grep -q '^Install_Location=' "$config" 2>/dev/null; then
    build/app/darv2007-install
fi
exec build/app/darv2007 "$@"
