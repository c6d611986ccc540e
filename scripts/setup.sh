#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the window need, when they are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl1-mesa-dev
    libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libsqlite3-dev libarchive-dev
    libpq-dev postgresql
    clang libclang-rt-14-dev clang-format
    fonts-liberation fonts-dejavu-core
    xvfb xauth poppler-utils tzdata
    dpkg-dev desktop-file-utils appstream man-db lintian
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
