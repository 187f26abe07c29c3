#!/usr/bin/env bash
# Installs what is missing, builds Varnel and starts it, passing on its arguments: ./run.sh [ARGUMENTS]
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no graphical display here (DISPLAY and WAYLAND_DISPLAY are unset)."
    echo "Varnel is built in $root/build; run it under a virtual display with:"
    echo "    xvfb-run -a $root/build/varnel"
    exit 1
fi
exec "$root/build/varnel" "$@"
