#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test; then builds the
# tests that do not start the browser engine with AddressSanitizer + UBSan and runs them again.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DKAVREN_WERROR=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAVREN_SANITIZE=ON -DKAVREN_WERROR=ON \
  -DKAVREN_BUILD_BROWSER=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" -L nobrowser)
