#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in a plain build, once under ASan and UBSan.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$root/build" && ctest --output-on-failure --timeout 600)

"$root/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DVARNEL_SANITIZE=ON
(cd "$root/build-asan" && ctest --output-on-failure --timeout 900)
