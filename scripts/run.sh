#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DMP_WERROR=OFF
cmake --build build/release --target motor-protector motor-protector-sim -j"$(nproc)"
exec build/release/app/motor-protector "$@"
