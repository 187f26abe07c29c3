#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks what it holds, unpacks it into a temporary root and runs
# the unpacked program offscreen as an unprivileged user whose program folder is read-only: it must come up,
# keep its settings in that user's configuration folder and end when asked.
# check_package.sh BUILD-FOLDER
set -euo pipefail
build="$(cd "$1" && pwd)"
if ! command -v dpkg-deb >/dev/null; then
    echo "SKIP: dpkg-deb is not installed, so no package is built"
    exit 77
fi
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/out/varnel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: CPack made no varnel_*.deb"; exit 1; }
deb="${debs[0]}"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "varnel_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $(basename "$deb")"

mapfile -t files < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }')
expected=(./usr/bin/varnel ./usr/lib/varnel/varnel ./usr/lib/varnel/help.chm
    ./usr/share/applications/varnel.desktop ./usr/share/icons/hicolor/scalable/apps/varnel.svg
    ./usr/share/man/man1/varnel.1.gz ./usr/share/metainfo/example.varnel.Varnel.metainfo.xml
    ./usr/share/doc/varnel/copyright ./usr/share/doc/varnel/changelog.gz)
[ "$(printf '%s\n' "${files[@]}" | sort)" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
    fail "the package holds: ${files[*]}"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libqt6widgets6 xdg-utils fonts-liberation fonts-dejavu-core fonts-terminus-otb qt6-translations-l10n; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
dpkg-deb -f "$deb" Recommends | grep -q kchmviewer || fail "no CHM reader recommended"

root="$work/root"
dpkg -x "$deb" "$root"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >"$work/appstream.log" 2>&1 ||
        { cat "$work/appstream.log"; fail "the AppStream metainfo is not valid"; }
fi
grep -qx 'Exec="/usr/lib/varnel/varnel" %f' "$root/usr/share/applications/varnel.desktop" ||
    fail "the desktop entry does not start /usr/lib/varnel/varnel"
[ "$("$root/usr/bin/varnel" --version)" = "Varnel $version" ] || fail "--version does not say Varnel $version"

# The user's own settings, with a viewer that is gone: the load must come from here, and the close must write
# the changed paths back here.
home="$work/home"
mkdir -p "$home/.config/varnel" "$work/runtime"
printf '/no/such/viewer\r\n/bin/sh\r\n' >"$home/.config/varnel/fs.ini"
chmod 700 "$work/runtime"
chmod -R a-w "$root/usr/lib/varnel"
as_user=()
user="$(id -un)"
if [ "$(id -u)" -eq 0 ]; then
    user=nobody
    chown -R nobody:nogroup "$home" "$work/runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -i HOME="$home" XDG_RUNTIME_DIR="$work/runtime" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    "${as_user[@]}" "$root/usr/lib/varnel/varnel" >"$work/run.log" 2>&1 &
pid=$!
# Up once it catches SIGTERM; the request is then handled when its event loop runs, after the window is shown.
for _ in $(seq 300); do
    mask="$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)"
    [ -n "$mask" ] && (((0x$mask >> 14) & 1)) && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -TERM "$pid" 2>/dev/null; then
    for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null && fail "it did not end when asked"
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "it ended with code $status"
[ "$(cat "$home/.config/varnel/fs.ini")" = "$(printf '\r\n/bin/sh\r\n')" ] ||
    fail "the configuration folder's fs.ini holds: $(od -c "$home/.config/varnel/fs.ini" | head -3)"
[ ! -e "$root/usr/lib/varnel/fs.ini" ] || fail "fs.ini was written in the program folder"
[ "$failures" -eq 0 ] || { echo "The program said:"; cat "$work/run.log"; exit 1; }
echo "$(basename "$deb"): ${#files[@]} files, runs as $user from a read-only program folder"
