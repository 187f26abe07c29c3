#!/usr/bin/env bash
# The search benchmark: ./bench/search/run.sh [WORK_FOLDER]
# Builds the bench, generates the tree once (fixed seed) and compares the walk against find, the content search
# against ripgrep with all cores (warm and cold cache; dropping the cache needs root or sudo) and SearchFile
# against ripgrep on one file; then runs "/" with every entry (time, memory, longest gap) and measures "Стоп"
# in the middle of one large file. Then, on a tree of text in Windows-1251, code page 866, UTF-8 and UTF-16LE,
# the content search with a Cyrillic text (three forms) and a Latin one against ripgrep and against two
# threads that only read and memchr the files, and SearchFile with three forms against a plain read loop.
# Then, on a tree of documents that LibreOffice makes from generated Russian text (DOCS of them, 200 by default,
# each in .docx, .odt, .rtf, .pdf, .xlsx, .ods, .pptx and .odp, one in twelve with a planted phrase), the
# content search against recollindex indexing the same tree and against pdfgrep over the PDFs, the recall of
# the planted phrase for each, the plain text tree against the bench built before documents were read (BASELINE,
# a commit; what else changed since shows there too) and against the same run taking no file for a document,
# and the run's peak memory against the same run with "DOS" ticked (the byte search alone). Last, the
# start-up against a bare Qt window under Xvfb. Prints the figures side by side. ONLY=encodings, ONLY=documents
# or ONLY=startup runs that part alone.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="${1:-/var/tmp/varnel-bench}"
runs="${RUNS:-5}"
needle="zebrafish"
cyrillic="отчёт"

"$root/scripts/install-deps.sh"
for tool in ripgrep fd-find python3 bc git libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-impress-nogui \
    recoll python3-recoll poppler-utils unrtf pdfgrep; do
    dpkg-query -W -f='${Status}' "$tool" 2>/dev/null | grep -q 'install ok installed' || missing+=("$tool")
done
if [ -n "${missing[*]:-}" ]; then
    as_root=(); [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
"$root/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DVARNEL_BENCH=ON -DVARNEL_TESTS=OFF
bench="$root/build-bench/bench/search/search_bench"

mkdir -p "$work"
if [ "${ONLY:-}" != encodings ] && [ ! -f "$work/done" ]; then
    echo "Generating the tree in $work (once)..."
    rm -rf "$work/tree" "$work/big.bin"
    python3 "$root/bench/search/make_tree.py" "$work"
    touch "$work/done"
fi
if [ "${ONLY:-}" != documents ] && [ ! -f "$work/mixed.done" ]; then
    echo "Generating the mixed-encoding tree in $work (once)..."
    rm -rf "$work/mixed" "$work/mixed.bin"
    python3 "$root/bench/search/make_tree.py" "$work" mixed
    touch "$work/mixed.done"
fi
tree="$work/tree"
mixed="$work/mixed"

now() { date +%s.%N; }
field() { sed -n "s/^\(.* \)\{0,1\}$1=\([^ ]*\).*/\2/p"; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

drop_caches() { sync; echo 3 >/proc/sys/vm/drop_caches; }
if [ "$(id -u)" -ne 0 ]; then drop_caches() { sync; echo 3 | sudo tee /proc/sys/vm/drop_caches >/dev/null; }; fi

# measure NAME CACHE OUR_COMMAND... -- PEER_COMMAND...: alternates the two sides and records medians. CACHE is
# "warm" (both run once first) or "cold" (the page cache is dropped before every run of either side).
declare -A ours peers gaps rss
measure() {
    local name=$1 cache=$2; shift 2
    local our=() peer=()
    while [ "$1" != "--" ]; do our+=("$1"); shift; done
    shift; peer=("$@")
    local our_times=() peer_times=() gap=0 peak=0
    if [ "$cache" = warm ]; then "${our[@]}" >/dev/null; "${peer[@]}" >/dev/null || true; fi
    for ((i = 0; i < runs; i++)); do
        [ "$cache" = cold ] && drop_caches
        local line; line=$("${our[@]}")
        our_times+=("$(echo "$line" | field seconds)")
        gap=$(echo "$gap $(echo "$line" | field max_pump_gap_ms)" | awk '{print ($2 > $1) ? $2 : $1}')
        peak=$(echo "$line" | field peak_rss_kib)
        [ "$cache" = cold ] && drop_caches
        if [ -n "${PEER_REPORTS:-}" ]; then  # the peer prints its own seconds= (the read ceiling)
            peer_times+=("$("${peer[@]}" | field seconds)")
        else
            local t0; t0=$(now); "${peer[@]}" >/dev/null || true; peer_times+=("$(echo "$(now) - $t0" | bc -l)")
        fi
        [ -n "${EXTRA_READ:-}" ] && echo "$line" | field read_seconds >>"$work/read_seconds"
    done
    ours[$name]=$(printf '%s\n' "${our_times[@]}" | median)
    peers[$name]=$(printf '%s\n' "${peer_times[@]}" | median)
    gaps[$name]=$gap
    rss[$name]=$peak
}

main_tree() {
    entries=$(find "$tree" | wc -l)
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    measure walk warm "$bench" walk "$tree" -- find "$tree" -name '.*' -prune -o -iname '*.txt' -print
    measure walk-cold cold "$bench" walk "$tree" -- find "$tree" -name '.*' -prune -o -iname '*.txt' -print
    measure walk-fd warm "$bench" walk "$tree" -- fdfind --no-ignore -i -g '*.txt' . "$tree"
    measure walk-fd-cold cold "$bench" walk "$tree" -- fdfind --no-ignore -i -g '*.txt' . "$tree"
    measure content warm "$bench" content "$tree" "$needle" -- rg -l -F -i -a --no-ignore "$needle" "$tree"
    measure content-cold cold "$bench" content "$tree" "$needle" -- rg -l -F -i -a --no-ignore "$needle" "$tree"
    PEER_REPORTS=1 measure content-ceiling warm "$bench" content "$tree" "$needle" -- "$bench" ceiling "$tree"
    # The same run beside one busy loop per core: the window's longest gap while another job takes every core.
    busy_pids=()
    trap 'kill "${busy_pids[@]}" 2>/dev/null' EXIT
    for ((i = 0; i < $(nproc); i++)); do (while :; do :; done) & busy_pids+=($!); done
    measure content-busy warm "$bench" content "$tree" "$needle" -- rg -l -F -i -a --no-ignore "$needle" "$tree"
    kill "${busy_pids[@]}"
    trap - EXIT
    rm -f "$work/read_seconds"
    EXTRA_READ=1 measure file warm "$bench" file "$work/big.bin" "$needle" -- rg --no-mmap -c -F -i -a "$needle" "$work/big.bin"
    read_median=$(median <"$work/read_seconds")

    # The whole system, every entry: time, memory and the longest gap, each the worst of the runs.
    system_lines=()
    for ((i = 0; i < ${SYSTEM_RUNS:-3}; i++)); do system_lines+=("$("$bench" system)"); done
    # "Стоп" inside the 1 GiB file: 20 ms in with a warm cache (the whole file takes about 0.1 s), 100 ms in with
    # a cold one.
    stop_warm=$("$bench" stop "$work" "$needle" 20)
    drop_caches
    stop_cold=$("$bench" stop "$work" "$needle" 100)
    load_after=$(cut -d' ' -f1-3 /proc/loadavg)

    gib=$(echo "$(stat -c %s "$work/big.bin") / 1073741824" | bc -l)
    printf '\nTree: %s entries; %s runs each, medians. Load average before %s, after %s (%s cores).\n\n' \
        "$entries" "$runs" "$load_before" "$load_after" "$(nproc)"
    printf '%-14s %-48s %9s %9s %9s %8s %11s %9s\n' measurement peer "ours (s)" "peer (s)" ours/peer target \
        "max gap ms" "peak MiB"
    declare -A peer_names=([walk]="find -prune -o -iname '*.txt'" [walk-cold]="find -prune -o -iname '*.txt', cold"
        [walk-fd]="fdfind --no-ignore -i -g '*.txt', all cores" [walk-fd-cold]="fdfind, all cores, cold"
        [content]="rg -l -F -i -a --no-ignore, warm" [content-cold]="rg -l -F -i -a --no-ignore, cold"
        [content-ceiling]="2 threads read + memchr, listing not timed"
        [content-busy]="rg, warm; ours beside $(nproc) busy loops"
        [file]="rg --no-mmap -c -F -i -a, one 1 GiB file")
    declare -A targets=([walk]=0.45 [walk-cold]=0.60 [walk-fd]=- [walk-fd-cold]=1.00 [content]=0.70
        [content-cold]=0.80 [content-ceiling]=1.30 [content-busy]="gap<=50" [file]=-)
    for name in walk walk-cold walk-fd walk-fd-cold content content-cold content-ceiling content-busy file; do
        ratio=$(echo "${ours[$name]} / ${peers[$name]}" | bc -l)
        printf '%-14s %-48s %9.3f %9.3f %9.2f %8s %11.1f %9.1f\n' "$name" "${peer_names[$name]}" "${ours[$name]}" \
            "${peers[$name]}" "$ratio" "${targets[$name]}" "${gaps[$name]}" "$(echo "${rss[$name]} / 1024" | bc -l)"
    done
    printf '\nSearchFile throughput %.2f GiB/s, plain read loop %.2f GiB/s (%.0f%%).\n' \
        "$(echo "$gib / ${ours[file]}" | bc -l)" "$(echo "$gib / $read_median" | bc -l)" \
        "$(echo "100 * $read_median / ${ours[file]}" | bc -l)"
    for line in "${system_lines[@]}"; do
        found=$(echo "$line" | field found); peak=$(echo "$line" | field peak_rss_kib)
        before=$(echo "$line" | field rss_before_kib); paths=$(echo "$line" | field path_bytes)
        printf '"/" with * *: %.2f s, %d results, peak %.1f MiB (%.1f MiB before the run), %.1f bytes per line' \
            "$(echo "$line" | field seconds)" "$found" "$(echo "$peak / 1024" | bc -l)" "$(echo "$before / 1024" | bc -l)" \
            "$(echo "($peak - $before) * 1024 / $found" | bc -l)"
        printf ' of which %.1f beyond the path; longest gap %.1f ms\n' \
            "$(echo "(($peak - $before) * 1024 - $paths) / $found" | bc -l)" "$(echo "$line" | field max_pump_gap_ms)"
    done
    for stop in "warm 20" "cold 100"; do
        set -- $stop
        line=$stop_warm; [ "$1" = cold ] && line=$stop_cold
        printf '"Стоп" %s ms into the 1 GiB file (%s cache): the run ended %.1f ms later, %s found; longest gap %.1f ms.\n' \
            "$2" "$1" "$(echo "$line" | field stop_ms)" "$(echo "$line" | field found)" \
            "$(echo "$line" | field max_pump_gap_ms)"
    done
}

# The mixed-encoding tree, warm: the run against ripgrep (which reads UTF-16 files with a byte-order mark too)
# and against the read ceiling, and SearchFile with the three forms of the Cyrillic text.
encodings() {
    local load_before load_after
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    measure cyrillic warm "$bench" content "$mixed" "$cyrillic" -- rg -l -F -i -a --no-ignore "$cyrillic" "$mixed"
    measure latin warm "$bench" content "$mixed" "$needle" -- rg -l -F -i -a --no-ignore "$needle" "$mixed"
    PEER_REPORTS=1 measure cyrillic-ceiling warm "$bench" content "$mixed" "$cyrillic" -- "$bench" ceiling "$mixed"
    PEER_REPORTS=1 measure latin-ceiling warm "$bench" content "$mixed" "$needle" -- "$bench" ceiling "$mixed"
    rm -f "$work/read_seconds"
    EXTRA_READ=1 measure mixed-file warm "$bench" file "$work/mixed.bin" "$cyrillic" -- \
        rg --no-mmap -c -F -i -a "$cyrillic" "$work/mixed.bin"
    local read_median gib
    read_median=$(median <"$work/read_seconds")
    load_after=$(cut -d' ' -f1-3 /proc/loadavg)
    gib=$(echo "$(stat -c %s "$work/mixed.bin") / 1073741824" | bc -l)
    printf '\nMixed-encoding tree: %s files of %s; %s runs each, warm, medians. Load average before %s, after %s (%s cores).\n\n' \
        "$(find "$mixed" -name '*.txt' | wc -l)" "$(du -sh "$mixed" | cut -f1)" "$runs" "$load_before" "$load_after" "$(nproc)"
    printf '%-18s %-52s %9s %9s %9s %8s\n' measurement peer "ours (s)" "peer (s)" ours/peer target
    declare -A names=([cyrillic]="rg -l -F -i -a --no-ignore $cyrillic (UTF-8)"
        [latin]="rg -l -F -i -a --no-ignore $needle"
        [cyrillic-ceiling]="2 threads read + memchr, listing not timed"
        [latin-ceiling]="2 threads read + memchr, listing not timed"
        [mixed-file]="rg --no-mmap -c -F -i -a, the 1 GiB mixed file")
    declare -A limits=([cyrillic]="<= 0.70" [latin]="<= 0.70" [cyrillic-ceiling]="<= 1.30" [latin-ceiling]="<= 1.30"
        [mixed-file]=-)
    for name in cyrillic latin cyrillic-ceiling latin-ceiling mixed-file; do
        printf '%-18s %-52s %9.3f %9.3f %9.2f %8s\n' "$name" "${names[$name]}" "${ours[$name]}" "${peers[$name]}" \
            "$(echo "${ours[$name]} / ${peers[$name]}" | bc -l)" "${limits[$name]}"
    done
    printf '\nSearchFile with three forms %.2f GiB/s, plain read loop %.2f GiB/s: %.2f of it (target >= 0.70).\n' \
        "$(echo "$gib / ${ours[mixed-file]}" | bc -l)" "$(echo "$gib / $read_median" | bc -l)" \
        "$(echo "$read_median / ${ours[mixed-file]}" | bc -l)"
}

# Start-up: from launching the program to its first window mapped, under Xvfb without a window manager,
# against a bare Qt program that shows one empty window; tries interleaved, medians.
startup() {
    local display=:$((90 + RANDOM % 100)) xvfb_pid line ours bare
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    local out
    out=$(DISPLAY=$display QT_QPA_PLATFORM=xcb "$root/build-bench/bench/startup/startup_bench" "${STARTUP_TRIES:-11}" \
        "$root/build-bench/varnel" "$root/build-bench/bench/startup/bare_window")
    kill "$xvfb_pid"
    ours=$(echo "$out" | sed -n 1p | field median_ms)
    bare=$(echo "$out" | sed -n 2p | field median_ms)
    printf '\nStart-up to the first window mapped (Xvfb, no window manager, %s tries each, interleaved, medians):\n' \
        "${STARTUP_TRIES:-11}"
    printf 'Varnel %.1f ms, a bare Qt window %.1f ms: %.2f times (target <= 1.20).\n' "$ours" "$bare" \
        "$(echo "$ours / $bare" | bc -l)"
}

# The bench as it was before documents were read, built once from that commit's files.
baseline_bench() {
    local rev src="$work/baseline"
    rev=$(git -C "$root" rev-parse "${BASELINE:-$(git -C "$root" log --format=%H --diff-filter=A -- \
        documents/DocumentText.h | tail -1)^}")
    if [ "$(cat "$src/rev" 2>/dev/null)" != "$rev" ]; then
        echo "Building the bench of $rev in $src (once)..." >&2
        rm -rf "$src"
        mkdir -p "$src"
        git -C "$root" archive "$rev" | tar -x -C "$src"
        "$src/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DVARNEL_BENCH=ON -DVARNEL_TESTS=OFF >&2
        echo "$rev" >"$src/rev"
    fi
    echo "$src/build-bench/bench/search/search_bench"
}

# Converts the generated sources into every format, at most 40 files to one soffice, with a private profile.
make_documents() {
    local documents=$1 sources="$work/documents-source" format files i
    rm -rf "$documents" "$sources" "$work/lo-profile"
    python3 "$root/bench/search/make_documents.py" "$sources" "${DOCS:-200}"
    declare -A from=([docx]=fodt [odt]=fodt [rtf]=fodt [pdf]=fodt [xlsx]=fods [ods]=fods [pptx]=fodp [odp]=fodp)
    for format in docx odt rtf pdf xlsx ods pptx odp; do
        mkdir -p "$documents/$format"
        mapfile -t files < <(find "$sources/source" -name "*.${from[$format]}" | sort)
        for ((i = 0; i < ${#files[@]}; i += 40)); do
            soffice --headless --norestore "-env:UserInstallation=file://$work/lo-profile" --convert-to "$format" \
                --outdir "$documents/$format" "${files[@]:i:40}" >/dev/null 2>&1 || true
        done
        if [ "$(find "$documents/$format" -type f | wc -l)" -ne "${#files[@]}" ]; then
            echo "soffice made $(find "$documents/$format" -type f | wc -l) of ${#files[@]} .$format files" >&2
            exit 1
        fi
    done
    cp "$sources/planted" "$work/documents.planted"
}

# recall LIST: how many of the files holding the planted phrase the list names, as "found/planted".
recall() {
    local expected
    expected=$(while read -r name; do for format in docx odt rtf pdf xlsx ods pptx odp; do
        ls "$documents/$format/$name".* 2>/dev/null || true; done; done <"$work/documents.planted" | sort -u)
    printf '%s/%s' "$(comm -12 <(echo "$expected") <(sed 's|^file://||' "$1" | sort -u) | grep -c . || true)" \
        "$(echo "$expected" | grep -c . || true)"
}

recoll_index() {
    rm -rf "$work/recoll/xapiandb"
    recollindex -c "$work/recoll" -z >/dev/null 2>&1
}

documents_part() {
    local phrase="Договор аренды помещения" baseline load_before load_after
    documents="$work/documents"
    if [ ! -f "$work/documents.done" ] || [ "$(cat "$work/documents.done")" != "${DOCS:-200}" ]; then
        echo "Making the document tree in $documents with LibreOffice (once)..."
        make_documents "$documents"
        echo "${DOCS:-200}" >"$work/documents.done"
    fi
    mkdir -p "$work/recoll"
    printf 'topdirs = %s\nloglevel = 1\n' "$documents" >"$work/recoll/recoll.conf"
    baseline=$(baseline_bench)
    load_before=$(cut -d' ' -f1-3 /proc/loadavg)
    runs=${DOC_RUNS:-3} measure documents warm "$bench" documents "$documents" "$phrase" "$work/ours.list" -- recoll_index
    runs=${DOC_RUNS:-3} LC_ALL=C.UTF-8 measure pdf warm "$bench" documents "$documents/pdf" "$phrase" \
        "$work/ours-pdf.list" -- pdfgrep -r -i "$phrase" "$documents/pdf"
    PEER_REPORTS=1 measure plain warm "$bench" content "$tree" "$needle" -- "$baseline" content "$tree" "$needle"
    PEER_REPORTS=1 measure unaware warm "$bench" content "$tree" "$needle" -- "$bench" content-unaware "$tree" "$needle"
    dos_peak=$("$bench" documents "$documents" "$phrase" /dev/null dos | field peak_rss_kib)
    documents_line=$("$bench" documents "$documents" "$phrase" /dev/null)
    load_after=$(cut -d' ' -f1-3 /proc/loadavg)
    recollq -c "$work/recoll" -b -n 100000 "\"$phrase\"" 2>/dev/null >"$work/recoll.list" || true
    LC_ALL=C.UTF-8 pdfgrep -r -i -l "$phrase" "$documents/pdf" >"$work/pdfgrep.list" || true

    printf '\nDocument tree: %s files of %s (%s documents in 8 formats); %s runs each, warm, medians. Load average before %s, after %s (%s cores).\n\n' \
        "$(find "$documents" -type f | wc -l)" "$(du -sh "$documents" | cut -f1)" "${DOCS:-200}" "${DOC_RUNS:-3}" \
        "$load_before" "$load_after" "$(nproc)"
    printf '%-10s %-44s %9s %9s %9s %8s %14s %14s\n' measurement peer "ours (s)" "peer (s)" ours/peer target \
        "recall ours" "recall peer"
    printf '%-10s %-44s %9.3f %9.3f %9.3f %8s %14s %14s\n' documents "recollindex, the whole tree" \
        "${ours[documents]}" "${peers[documents]}" "$(echo "${ours[documents]} / ${peers[documents]}" | bc -l)" \
        "<= 0.10" "$(recall "$work/ours.list")" "$(recall "$work/recoll.list")"
    printf '%-10s %-44s %9.3f %9.3f %9.3f %8s %14s %14s\n' pdf "pdfgrep -r -i, the PDFs" "${ours[pdf]}" \
        "${peers[pdf]}" "$(echo "${ours[pdf]} / ${peers[pdf]}" | bc -l)" "<= 0.50" \
        "$(grep -c . "$work/ours-pdf.list")/$(grep -c . "$work/documents.planted")" \
        "$(grep -c . "$work/pdfgrep.list")/$(grep -c . "$work/documents.planted")"
    printf '%-10s %-44s %9.3f %9.3f %9.3f %8s\n' plain "the bench before documents, 20,000 text files" \
        "${ours[plain]}" "${peers[plain]}" "$(echo "${ours[plain]} / ${peers[plain]}" | bc -l)" "<= 1.05"
    printf '%-10s %-44s %9.3f %9.3f %9.3f %8s\n' unaware "the same run taking no file for a document" \
        "${ours[unaware]}" "${peers[unaware]}" "$(echo "${ours[unaware]} / ${peers[unaware]}" | bc -l)" "<= 1.05"
    printf '\nPeak memory over the document tree %.1f MiB, with "DOS" (the byte search alone) %.1f MiB: %+.1f MiB (target <= +64).\n' \
        "$(echo "${rss[documents]} / 1024" | bc -l)" "$(echo "$dos_peak / 1024" | bc -l)" \
        "$(echo "(${rss[documents]} - $dos_peak) / 1024" | bc -l)"
    printf 'Each PDF helper process peaked at %.1f MiB at most (each is limited to 1 GiB).\n' \
        "$(echo "$(echo "$documents_line" | field helper_peak_rss_kib) / 1024" | bc -l)"
    printf 'Documents whose text could not be read: %s. Longest gap of the run over the document tree: %.1f ms.\n' \
        "$(echo "$documents_line" | field documents_unreadable)" "${gaps[documents]}"
}

case "${ONLY:-}" in
    encodings) encodings ;;
    documents) documents_part ;;
    startup) startup ;;
    *)
        main_tree
        encodings
        documents_part
        startup
        ;;
esac
