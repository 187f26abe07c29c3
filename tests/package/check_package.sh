#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks what it holds, unpacks it into a temporary root and runs
# the unpacked program offscreen as an unprivileged user whose program folder is read-only: it must come up,
# keep its settings in that user's configuration folder and end when asked.
# check_package.sh BUILD-FOLDER
set -euo pipefail
build="$(cd "$1" && pwd)"
command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb is not installed, so no package is built"; exit 77; }
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb="$(echo "$work"/out/varnel_*_"$(dpkg --print-architecture)".deb)"
mapfile -t files < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected="./usr/bin/varnel ./usr/lib/varnel/help.chm ./usr/lib/varnel/varnel ./usr/lib/varnel/varnel-pdf-text ./usr/share/applications/varnel.desktop
./usr/share/doc/varnel/changelog.gz ./usr/share/doc/varnel/copyright ./usr/share/icons/hicolor/scalable/apps/varnel.svg
./usr/share/man/man1/varnel.1.gz ./usr/share/metainfo/example.varnel.Varnel.metainfo.xml"
[ "${files[*]}" = "$(echo $expected)" ] || fail "the package holds: ${files[*]}"
for needed in libqt6widgets6 libpoppler-cpp0v5 xdg-utils fonts-liberation fonts-dejavu-core fonts-terminus-otb qt6-translations-l10n locales; do
    dpkg-deb -f "$deb" Depends | grep -qw "$needed" || fail "Depends lacks $needed"
done
dpkg-deb -f "$deb" Suggests | grep -qw kchmviewer || fail "no CHM reader suggested"
[ -z "$(dpkg-deb -f "$deb" Recommends)" ] || fail "it recommends: $(dpkg-deb -f "$deb" Recommends)"

root="$work/root"
dpkg -x "$deb" "$root"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >"$work/appstream.log" ||
        fail "the AppStream metainfo is not valid: $(cat "$work/appstream.log")"
fi
[ "$("$root/usr/bin/varnel" --version)" = "Varnel $(dpkg-deb -f "$deb" Version)" ] || fail "--version"

# The user's settings name a viewer that is gone: the close must write the changed paths back where they came from.
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
# Up once it catches SIGTERM (bit 15 of SigCgt); the request is handled when its event loop runs.
for _ in $(seq 300); do
    mask="$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)"
    { [ -n "$mask" ] && (((0x$mask >> 14) & 1)); } || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.1
done
kill -TERM "$pid" 2>/dev/null && for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -KILL "$pid" 2>/dev/null && fail "it did not end when asked"
wait "$pid" || fail "it ended with code $?"
[ "$(cat "$home/.config/varnel/fs.ini")" = "$(printf '\r\n/bin/sh\r\n')" ] || fail "fs.ini was not saved in ~/.config"
[ ! -e "$root/usr/lib/varnel/fs.ini" ] || fail "fs.ini was written in the program folder"
[ "$failures" -eq 0 ] || { cat "$work/run.log"; exit 1; }
echo "$(basename "$deb"): ${#files[@]} files; ran from a read-only program folder as $user"
