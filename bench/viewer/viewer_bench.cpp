// Times the file viewer with the real window offscreen:
//  - one hex page, one text page, one UCODE page and one UTF-8 text page at the start of a 1 MiB file and at
//    the end of a 40 GiB sparse file (median of many renders; each render opens, reads and closes the file
//    and repaints the memo);
//  - the hex-page search through a 1 GiB file with the match at its end, against
//    LC_ALL=C grep -c -F -i -a on the same file, interleaved, warm cache; and the longest gap between two
//    event pumps during the search;
//  - the search for an absent text through the whole 40 GiB sparse file with its longest gap between two
//    event pumps, and how soon hiding the viewer ends such a search;
//  - the peak memory of a process that pages through the 1 MiB file, and of one that pages through the 40 GiB
//    file (each run in a process of its own, this program started again with "--memory").
// The two large files are deleted at the end unless "--keep" is given.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/EventPump.h"
#include "platform/Messages.h"
#include "search/FS1.h"
#include "viewer/RF1.h"
#include "viewer/paging/ScrollGeometry.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kMiB = 1ULL << 20;
constexpr std::uint64_t kHugeSize = 40ULL << 30;
constexpr std::uint64_t kGiBSize = 1ULL << 30;
constexpr int kRenders = 300;
constexpr int kSearchRounds = 5;
const char* const kNeedle = "zebrafish";

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Lines of Latin, Windows-1251 Cyrillic and UTF-8 words, with TABs, as the text files here hold them. No "z",
// so the needle is nowhere but where it is put.
std::string textBlock(std::size_t size, unsigned seed) {
    static const char* const words[] = {
        "alpha", "beta",  "\xEF\xF0\xE8\xE2\xE5\xF2", "\xEC\xE8\xF0", "file", "viewer", "\t",
        "page",  "отчёт", "\xD1\xEB\xEE\xE2\xEE",     "0123",         "hex",  "日本"};
    std::mt19937 random(seed);
    std::string text;
    text.reserve(size);
    while (text.size() < size) {
        text += words[random() % (sizeof words / sizeof *words)];
        text += random() % 9 == 0 ? "\r\n" : " ";
    }
    text.resize(size);
    return text;
}

void writeAt(const std::string& path, const std::string& bytes, std::uint64_t offset, std::uint64_t size) {
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0 ||
        pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) !=
            static_cast<ssize_t>(bytes.size())) {
        std::perror(path.c_str());
        std::exit(1);
    }
    close(fd);
}

void writeTextFile(const std::string& path, std::uint64_t size) {
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    const std::string block = textBlock(64 * kMiB, 7);
    for (std::uint64_t done = 0; done < size; done += block.size()) {
        if (write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
            std::perror(path.c_str());
            std::exit(1);
        }
    }
    const std::string end = std::string("...") + kNeedle + "\r\n";
    if (pwrite(fd, end.data(), end.size(), static_cast<off_t>(size - end.size())) < 0) {
        std::perror(path.c_str());
    }
    close(fd);
}

class QuietMessages : public Messages {
  public:
    void information(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void captioned(const QString&, const QString& text) override { information(text); }
    void error(const QString& text) override { information(text); }
    bool question(const QString& text) override {
        information(text);
        return true;
    }
};

// The time this thread has spent waiting for a processor, in ms: on a busy machine it is part of every gap.
double waitedForProcessorMs() {
    std::ifstream stat("/proc/thread-self/schedstat");
    double runningNs = 0;
    double waitingNs = 0;
    stat >> runningNs >> waitingNs;
    return waitingNs / 1e6;
}

// Processes events at every call and keeps every time between two calls (the work between them, without the
// event processing itself), also without the time spent waiting for a processor; `atEachPump` stands for what
// the user does meanwhile.
class GapRecorder : public EventPump {
  public:
    explicit GapRecorder(std::function<void()> atEachPump = [] {}) : atEachPump_(std::move(atEachPump)) {}
    void pump() override {
        const auto now = Clock::now();
        const double waited = waitedForProcessorMs();
        if (started_) {
            gaps_.push_back(std::chrono::duration<double, std::milli>(now - last_).count());
            ownGaps_.push_back(gaps_.back() - (waited - lastWaited_));
        }
        started_ = true;
        atEachPump_();
        QCoreApplication::processEvents();
        last_ = Clock::now();
        lastWaited_ = waitedForProcessorMs();
    }
    const std::vector<double>& gaps() const { return gaps_; }
    const std::vector<double>& ownGaps() const { return ownGaps_; }

  private:
    std::function<void()> atEachPump_;
    Clock::time_point last_;
    double lastWaited_ = 0;
    bool started_ = false;
    std::vector<double> gaps_;
    std::vector<double> ownGaps_;
};

struct Mode {
    const char* name;
    bool textPage;
    const char* reading;
};
const Mode kModes[] = {{"hex page", false, "WIN"},
                       {"text page", true, "WIN"},
                       {"UCODE page", true, "UCODE"},
                       {"UTF-8 page", true, "UTF-8"}};

void setMode(TRF& viewer, const Mode& mode) {
    viewer.Label3->setText(QString::fromLatin1(mode.reading));
    viewer.TextPageMode = mode.textPage;
}

void load(TRF& viewer, const std::string& path) {
    CurrentFilePath = path;
    viewer.LoadFile();
}

// The last position whose page is a full block: the page that ends with the file's last bytes.
int endPosition(const TRF& viewer, bool textPage) {
    const std::uint64_t size = static_cast<std::uint64_t>(viewer.LoadedFileSize);
    const std::uint64_t block =
        static_cast<std::uint64_t>(viewer.LinesPerPage) * (textPage ? kTextBytesPerPageLine : kLineBytes);
    const ScrollRange range = scrollRange(size, viewer.LinesPerPage);
    int position = range.maximum;
    while (position > 1 && pageOffsetAt(range, position) + block > size) {
        --position;
    }
    return position;
}

double renderOnceMs(TRF& viewer) {
    const auto start = Clock::now();
    viewer.ScrollBar1Change();
    viewer.Memo1->viewport()->repaint();
    return msSince(start);
}

// Medians of the renders at the start of one window's file and at the end of the other's, taken in turn so
// that a busy machine disturbs both alike.
std::pair<double, double> renderMs(TRF& atStart, TRF& atEnd, const Mode& mode) {
    setMode(atStart, mode);
    setMode(atEnd, mode);
    atStart.ScrollBar1->setValue(1);
    atEnd.ScrollBar1->setValue(endPosition(atEnd, mode.textPage));
    std::vector<double> start;
    std::vector<double> end;
    for (int i = 0; i < kRenders; ++i) {
        start.push_back(renderOnceMs(atStart));
        end.push_back(renderOnceMs(atEnd));
    }
    return {median(start), median(end)};
}

// The spread of the times between two event pumps, and the longest without the waits for a processor.
void printGaps(std::vector<double> gaps, const std::vector<double>& ownGaps) {
    std::sort(gaps.begin(), gaps.end());
    std::printf(
        "of all %zu gaps: median %.3f ms, 99.9th percentile %.3f ms, longest %.2f ms (%.2f ms without "
        "waiting "
        "for a processor), %ld over 50 ms\n",
        gaps.size(), median(gaps), gaps[gaps.size() * 999 / 1000], gaps.back(),
        *std::max_element(ownGaps.begin(), ownGaps.end()),
        static_cast<long>(std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 50; })));
}

// An absent text through the whole sparse file, then the same search with the viewer hidden after a second.
void searchTheSparseFile(TRF& viewer) {
    setMode(viewer, kModes[0]);
    viewer.ScrollBar1->setValue(0);
    viewer.Edit1->setText(QStringLiteral("absent-text"));
    GapRecorder whole;
    EventPump::install(&whole);
    auto start = Clock::now();
    viewer.SearchCommand();
    std::printf("\nAbsent text through the 40 GiB sparse file: %.0f ms (events processed at every block); ",
                msSince(start));
    printGaps(whole.gaps(), whole.ownGaps());
    Clock::time_point hiddenAt{};
    GapRecorder hiding([&] {
        if (hiddenAt == Clock::time_point{} && msSince(start) > 1000) {
            viewer.hide();
            hiddenAt = Clock::now();
        }
    });
    EventPump::install(&hiding);
    start = Clock::now();
    viewer.SearchCommand();
    std::printf("The viewer hidden after a second: the search ended %.2f ms later\n", msSince(hiddenAt));
    EventPump::install(nullptr);
    viewer.show();
}

long peakKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Loads the file and draws every mode at its start, middle and end; prints the peak resident size.
int memoryRun(const std::string& path) {
    QuietMessages messages;
    Messages::install(&messages);
    TRF viewer;
    viewer.show();
    load(viewer, path);
    for (const Mode& mode : kModes) {
        for (const int position : {1, viewer.ScrollBar1->maximum() / 2, viewer.ScrollBar1->maximum()}) {
            setMode(viewer, mode);
            viewer.ScrollBar1->setValue(position);
            viewer.ScrollBar1Change();
            viewer.Memo1->viewport()->repaint();
        }
    }
    std::printf("%ld\n", peakKib());
    return 0;
}

// The peak of a process of its own, so one file's pages do not hide another's.
long peakOfMemoryRun(const char* self, const std::string& path) {
    const std::string command = std::string(self) + " --memory '" + path + "'";
    FILE* child = popen(command.c_str(), "r");
    long peak = -1;
    if (child == nullptr || std::fscanf(child, "%ld", &peak) != 1) {
        peak = -1;
    }
    if (child != nullptr) {
        pclose(child);
    }
    return peak;
}

double grepMs(const std::string& path) {
    const std::string command =
        std::string("LC_ALL=C grep -c -F -i -a ") + kNeedle + " '" + path + "' >/dev/null";
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "grep did not find the needle\n");
    }
    return msSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) {
        return memoryRun(argv[2]);
    }
    const bool keep = argc > 1 && std::strcmp(argv[argc - 1], "--keep") == 0;
    const std::string folder = argc > 1 && argv[1][0] != '-' ? argv[1] : "/var/tmp/varnel-viewer-bench";
    if (std::system(("mkdir -p '" + folder + "'").c_str()) != 0) {
        return 1;
    }
    const std::string small = folder + "/one-mebibyte.txt";
    const std::string huge = folder + "/forty-gibibytes.sparse";
    const std::string gib = folder + "/one-gibibyte.txt";
    const std::string sample = textBlock(kMiB, 3);
    writeAt(small, sample, 0, kMiB);
    writeAt(huge, sample, kHugeSize - kMiB, kHugeSize);
    if (access(gib.c_str(), R_OK) != 0) {
        std::printf("Writing %s...\n", gib.c_str());
        writeTextFile(gib, kGiBSize);
    }

    QuietMessages messages;
    Messages::install(&messages);
    TRF viewer;
    TRF second;
    viewer.show();
    second.show();
    QCoreApplication::processEvents();
    load(viewer, small);
    load(second, huge);

    std::printf("\nPage render (open, read, close, build, repaint), median of %d, ms:\n", kRenders);
    std::printf("%-12s %16s %22s %8s\n", "page", "1 MiB at start", "40 GiB at its end", "end/start");
    for (const Mode& mode : kModes) {
        const auto [start, end] = renderMs(viewer, second, mode);
        std::printf("%-12s %16.3f %22.3f %8.2f\n", mode.name, start, end, end / start);
    }
    setMode(viewer, kModes[0]);

    std::printf(
        "\nHex-page search for \"%s\" through 1 GiB, match at the end; %d interleaved rounds, warm cache:\n",
        kNeedle, kSearchRounds);
    grepMs(gib);
    std::vector<double> ours;
    std::vector<double> greps;
    std::vector<double> longestGaps;
    std::vector<double> allGaps;
    std::vector<double> allOwnGaps;
    for (int round = 0; round <= kSearchRounds; ++round) {
        load(viewer, gib);
        viewer.Edit1->setText(QString::fromLatin1(kNeedle));
        GapRecorder pump;
        EventPump::install(&pump);
        const auto start = Clock::now();
        viewer.SearchCommand();
        const double ms = msSince(start);
        EventPump::install(nullptr);
        if (viewer.PageOffset < static_cast<std::int64_t>(kGiBSize - kMiB)) {
            std::fprintf(stderr, "the search did not reach the end: page at %lld\n",
                         static_cast<long long>(viewer.PageOffset));
        }
        if (round == 0) {
            continue;  // warm-up
        }
        ours.push_back(ms);
        longestGaps.push_back(*std::max_element(pump.gaps().begin(), pump.gaps().end()));
        allGaps.insert(allGaps.end(), pump.gaps().begin(), pump.gaps().end());
        allOwnGaps.insert(allOwnGaps.end(), pump.ownGaps().begin(), pump.ownGaps().end());
        greps.push_back(grepMs(gib));
    }
    std::printf("%-34s %10s %10s\n", "", "median ms", "best ms");
    std::printf("%-34s %10.1f %10.1f\n", "viewer hex-page search", median(ours),
                *std::min_element(ours.begin(), ours.end()));
    std::printf("%-34s %10.1f %10.1f\n", "LC_ALL=C grep -c -F -i -a", median(greps),
                *std::min_element(greps.begin(), greps.end()));
    std::printf("grep time / viewer time (median): %.2f\n", median(greps) / median(ours));
    std::printf("gaps between two event pumps: longest per round");
    for (const double gap : longestGaps) {
        std::printf(" %.2f", gap);
    }
    std::printf(" ms; ");
    printGaps(allGaps, allOwnGaps);

    searchTheSparseFile(second);

    // The peak must not grow with the file's size: sparse files of 4 and 400 GiB page the same way.
    const std::string fourGiB = folder + "/four-gibibytes.sparse";
    const std::string fourHundredGiB = folder + "/four-hundred-gibibytes.sparse";
    writeAt(fourGiB, sample, (4ULL << 30) - kMiB, 4ULL << 30);
    writeAt(fourHundredGiB, sample, (400ULL << 30) - kMiB, 400ULL << 30);
    std::printf("\nPeak resident memory, paging every mode at start, middle and end, KiB:\n");
    for (const auto& [name, path] : std::vector<std::pair<const char*, std::string>>{
             {"1 MiB", small}, {"4 GiB", fourGiB}, {"40 GiB", huge}, {"400 GiB", fourHundredGiB}}) {
        std::printf("  %-8s %8ld\n", name, peakOfMemoryRun(argv[0], path));
    }
    unlink(fourGiB.c_str());
    unlink(fourHundredGiB.c_str());

    if (!keep) {
        unlink(huge.c_str());
        unlink(gib.c_str());
    }
    return 0;
}
