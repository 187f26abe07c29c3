#!/usr/bin/env bash
# Opens the built help file with a CHM reader and checks that every file of the project is inside, byte for byte
# the Windows-1251 form of its source, and that the contents and index are readable and lead to every page.
# check_chm.sh HELP.CHM SOURCE-FOLDER EXTRACT-TOOL
set -euo pipefail
chm="$1"
sources="$2"
extract="$3"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

"$extract" "$chm" "$out/chm" >/dev/null
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mapfile -t files < <(sed -n '/^\[FILES\]/,/^\[/p' "$sources/varnel.hhp" | tr -d '\r' | grep -vE '^\[|^$')
[ ${#files[@]} -gt 0 ] || fail "the project lists no files"
for file in "${files[@]}" toc.hhc index.hhk; do
    if [ ! -f "$out/chm/$file" ]; then
        fail "$file is not in the help file"
    elif ! iconv -f UTF-8 -t WINDOWS-1251 "$sources/$file" | cmp -s - "$out/chm/$file"; then
        fail "$file differs from its source"
    fi
done

contents="$(iconv -f WINDOWS-1251 -t UTF-8 "$out/chm/toc.hhc")" || fail "the contents are not Windows-1251 text"
index="$(iconv -f WINDOWS-1251 -t UTF-8 "$out/chm/index.hhk")" || fail "the index is not Windows-1251 text"
for file in "${files[@]}"; do
    case "$file" in *.htm) ;; *) continue ;; esac
    title="$(sed -n 's:.*<title>\(.*\)</title>.*:\1:p' "$sources/$file")"
    grep -q "charset=windows-1251" "$sources/$file" || fail "$file does not declare windows-1251"
    grep -qF "<param name=\"Name\" value=\"$title\">" <<<"$contents" || fail "the contents lack \"$title\""
    grep -qF "<param name=\"Local\" value=\"$file\">" <<<"$contents" || fail "the contents do not lead to $file"
    grep -qF "value=\"$file\"" <<<"$index" || fail "the index does not lead to $file"
done

[ "$failures" -eq 0 ] && echo "help.chm holds ${#files[@]} files, contents and index"
exit "$failures"
