#!/usr/bin/env bash
# The search benchmark: ./bench/search/run.sh [WORK_FOLDER]
# Builds the bench, generates the tree once (fixed seed) and compares, with a warm cache, the search run against
# fd-find and the content search and SearchFile against ripgrep. Prints a table of medians.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="${1:-/var/tmp/varnel-bench}"
runs="${RUNS:-5}"
needle="zebrafish"

"$root/scripts/install-deps.sh"
for tool in fd-find ripgrep python3 bc; do
    dpkg-query -W -f='${Status}' "$tool" 2>/dev/null | grep -q 'install ok installed' || missing+=("$tool")
done
if [ -n "${missing[*]:-}" ]; then
    as_root=(); [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
"$root/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DVARNEL_BENCH=ON -DVARNEL_TESTS=OFF
bench="$root/build-bench/bench/search/search_bench"

if [ ! -f "$work/done" ]; then
    echo "Generating the tree in $work (once)..."
    rm -rf "$work" && mkdir -p "$work"
    python3 "$root/bench/search/make_tree.py" "$work"
    touch "$work/done"
fi
tree="$work/tree"
entries=$(find "$tree" | wc -l)

now() { date +%s.%N; }
field() { sed -n "s/^\(.* \)\{0,1\}$1=\([^ ]*\).*/\2/p"; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

# measure NAME OUR_COMMAND... -- PEER_COMMAND...: warms both, then alternates them; records medians.
declare -A ours peers gaps rss
measure() {
    local name=$1; shift
    local our=() peer=()
    while [ "$1" != "--" ]; do our+=("$1"); shift; done
    shift; peer=("$@")
    local our_times=() peer_times=() gap=0 peak=0
    for ((i = 0; i < runs; i++)); do
        "${our[@]}" >/dev/null; "${peer[@]}" >/dev/null || true
        local line; line=$("${our[@]}")
        our_times+=("$(echo "$line" | field seconds)")
        gap=$(echo "$gap $(echo "$line" | field max_pump_gap_ms)" | awk '{print ($2 > $1) ? $2 : $1}')
        peak=$(echo "$line" | field peak_rss_kib)
        local t0; t0=$(now); "${peer[@]}" >/dev/null || true; peer_times+=("$(echo "$(now) - $t0" | bc -l)")
        [ -n "${EXTRA_READ:-}" ] && echo "$line" | field read_seconds >>"$work/read_seconds"
    done
    ours[$name]=$(printf '%s\n' "${our_times[@]}" | median)
    peers[$name]=$(printf '%s\n' "${peer_times[@]}" | median)
    gaps[$name]=$gap
    rss[$name]=$peak
}

measure walk "$bench" walk "$tree" -- fdfind -j1 -I -g '*.txt' "$tree"
measure content "$bench" content "$tree" "$needle" -- rg -j1 -l -F -i -a --no-ignore "$needle" "$tree"
rm -f "$work/read_seconds"
EXTRA_READ=1 measure file "$bench" file "$work/big.bin" "$needle" -- rg --no-mmap -c -F -i -a "$needle" "$work/big.bin"
read_median=$(median <"$work/read_seconds")

gib=$(echo "$(stat -c %s "$work/big.bin") / 1073741824" | bc -l)
printf '\nTree: %s entries; %s runs each, warm cache, medians.\n\n' "$entries" "$runs"
printf '%-34s %10s %10s %8s %12s %10s\n' measurement "ours (s)" "peer (s)" ratio "max gap ms" "peak MiB"
for name in walk content file; do
    ratio=$(echo "${peers[$name]} / ${ours[$name]}" | bc -l)
    printf '%-34s %10.3f %10.3f %7.2fx %12.1f %10.1f\n' "$name" "${ours[$name]}" "${peers[$name]}" "$ratio" \
        "${gaps[$name]}" "$(echo "${rss[$name]} / 1024" | bc -l)"
done
printf '\nSearchFile throughput %.2f GiB/s, plain read loop %.2f GiB/s (%.0f%%); ratio column: peer time / ours.\n' \
    "$(echo "$gib / ${ours[file]}" | bc -l)" "$(echo "$gib / $read_median" | bc -l)" \
    "$(echo "100 * $read_median / ${ours[file]}" | bc -l)"
