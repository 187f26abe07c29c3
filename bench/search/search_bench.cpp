// Measures the search run through the real window offscreen, and SearchFile on one large file.
//   search_bench walk TREE           subfolders, mask *.txt
//   search_bench content TREE TEXT   the same with "С текстом"
//   search_bench content-unaware TREE TEXT
//                                    the same with no file ever taken for a document
//   search_bench system              "/" with subfolders, every entry
//   search_bench stop FOLDER TEXT MS "С текстом" in FOLDER's *.bin files, "Стоп" pressed MS ms in
//   search_bench file PATH TEXT      SearchFile over one file with the run's forms of TEXT, and a plain read
//                                    loop over it
//   search_bench documents TREE TEXT LIST [dos]
//                                    "С текстом" over every file, the found paths written to LIST (for the
//                                    recall of planted phrases); with "dos", "DOS" ticked: the byte search
//                                    alone
//   search_bench ceiling TREE        the read ceiling of a content search: two threads that only read the
//                                    *.txt files under TREE and memchr each block (the listing is not timed)
// Each prints one line of key=value figures for the run script. The longest gap is the longest time the
// window went without handling events, from "Старт" until the result list has been laid out.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/forms.h"
#include "documents/DocumentReader.h"
#include "matching/ContentMatch.h"
#include "platform/EventPump.h"
#include "platform/GuardedApplication.h"
#include "platform/Messages.h"
#include "search/FS1.h"
#include "search/results/FoundLines.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakResidentKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The largest peak of the helper processes the run started and has ended (the PDF readers).
long helperPeakResidentKib() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

long residentKib() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Records the moments the window handles events and the longest time between two of them.
class GapClock {
  public:
    void handled() {
        const auto now = Clock::now();
        longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    void restart() { last_ = Clock::now(); }
    Clock::time_point last() const { return last_; }
    double longestMs() const { return longest_; }

  private:
    Clock::time_point last_ = Clock::now();
    double longest_ = 0;
};

GapClock gaps;

// Processes events as the real pump does; `onPump` runs at every call.
class GapMeasuringPump : public EventPump {
  public:
    void pump() override {
        if (onPump) {
            onPump();
        }
        if (Clock::now() - gaps.last() >= std::chrono::milliseconds(8)) {
            QCoreApplication::processEvents();
            gaps.handled();
        }
    }
    std::function<void()> onPump;
};

// The run's closing box would handle events: the moment it opens closes a gap. Its count of documents whose
// text could not be read is kept, so a bench that reads no document's text says so.
class SilentMessages : public Messages {
  public:
    void information(const QString& text) override {
        gaps.handled();
        const QRegularExpressionMatch count =
            QRegularExpression(QStringLiteral("Не удалось прочитать текст документов: (\\d+)")).match(text);
        documentsUnreadable = count.hasMatch() ? count.captured(1).toInt() : 0;
    }
    void captioned(const QString&, const QString&) override { gaps.handled(); }
    void error(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    bool question(const QString& text) override {
        error(text);
        return true;
    }
    int documentsUnreadable = 0;
};

// Tells no document from any other file: the run as it would be if documents were not read at all.
class NoDocuments : public DocumentReader {
  public:
    bool mayBeDocument(const char*, std::size_t) override { return false; }
    DocumentText read(const std::string&, const DocumentCancel&, PdfTextSource*) override { return {}; }
};

struct RunSetting {
    std::string folder;
    const char* extension = "txt";
    const char* text = nullptr;
    bool subfolders = true;
    int stopAfterMs = -1;
    const char* foundList = nullptr;
    bool dos = false;
};

int searchRun(const RunSetting& setting) {
    SilentMessages messages;
    Messages::install(&messages);
    createForms({});
    FILESCH->Edit1->setText(QString::fromStdString(setting.folder));
    FILESCH->Edit2->setText(QStringLiteral("*"));
    FILESCH->Edit3->setText(QString::fromUtf8(setting.extension));
    FILESCH->CheckBox2->setChecked(setting.subfolders);
    FILESCH->CheckBox1->setChecked(setting.text != nullptr);
    FILESCH->Edit5->setText(setting.text != nullptr ? QString::fromUtf8(setting.text) : QString());
    FILESCH->CheckBox3->setChecked(setting.dos);
    FILESCH->show();
    QCoreApplication::processEvents();
    const long residentBefore = residentKib();

    GapMeasuringPump pump;
    EventPump::install(&pump);
    const auto start = Clock::now();
    Clock::time_point stopped{};
    if (setting.stopAfterMs >= 0) {
        pump.onPump = [&] {
            if (stopped == Clock::time_point{} &&
                Clock::now() - start >= std::chrono::milliseconds(setting.stopAfterMs)) {
                stopped = Clock::now();
                FILESCH->Button3Click();
            }
        };
    }
    gaps.restart();
    FILESCH->Button2Click();

    const double seconds = secondsSince(start);
    const double stopMs = stopped == Clock::time_point{}
                              ? -1
                              : std::chrono::duration<double, std::milli>(Clock::now() - stopped).count();
    QCoreApplication::processEvents();  // the list lays itself out and paints
    gaps.handled();

    std::uint64_t pathBytes = 0;
    const FoundLines& found = FILESCH->foundList();
    for (std::size_t row = 0; row < found.size(); ++row) {
        pathBytes += found.at(row).size();
    }
    if (setting.foundList != nullptr) {
        if (FILE* list = std::fopen(setting.foundList, "w")) {
            for (std::size_t row = 0; row < found.size(); ++row) {
                const std::string_view path = found.at(row);
                std::fprintf(list, "%.*s\n", static_cast<int>(path.size()), path.data());
            }
            std::fclose(list);
        }
    }
    std::printf(
        "seconds=%.4f found=%zu max_pump_gap_ms=%.2f peak_rss_kib=%ld rss_before_kib=%ld path_bytes=%llu "
        "stop_ms=%.2f documents_unreadable=%d helper_peak_rss_kib=%ld\n",
        seconds, found.size(), gaps.longestMs(), peakResidentKib(), residentBefore,
        static_cast<unsigned long long>(pathBytes), stopMs, messages.documentsUnreadable,
        helperPeakResidentKib());
    return 0;
}

int fileSearch(const std::string& path, const std::string& text) {
    GapMeasuringPump pump;
    EventPump::install(&pump);
    gaps.restart();
    const SearchText forms(QString::fromUtf8(text.c_str()), SearchText::contentEncodings(false));
    auto start = Clock::now();
    const std::int64_t found = SearchFile(path, forms, 0);
    const double searchSeconds = secondsSince(start);

    std::vector<char> block(256 * 1024);
    start = Clock::now();
    const int fd = open(path.c_str(), O_RDONLY);
    std::uint64_t total = 0;
    for (ssize_t got; (got = read(fd, block.data(), block.size())) > 0;) {
        total += static_cast<std::uint64_t>(got);
    }
    close(fd);
    const double readSeconds = secondsSince(start);
    std::printf(
        "seconds=%.4f read_seconds=%.4f bytes=%llu found=%lld max_pump_gap_ms=%.2f peak_rss_kib=%ld\n",
        searchSeconds, readSeconds, static_cast<unsigned long long>(total), static_cast<long long>(found),
        gaps.longestMs(), peakResidentKib());
    return 0;
}

int readCeiling(const std::string& tree) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree)) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt") {
            paths.push_back(entry.path().string());
        }
    }
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> total{0};
    std::atomic<std::size_t> seen{0};
    const auto reader = [&] {
        std::vector<char> block(256 * 1024);
        for (std::size_t i; (i = next++) < paths.size();) {
            const int fd = open(paths[i].c_str(), O_RDONLY);
            for (ssize_t got; (got = read(fd, block.data(), block.size())) > 0;) {
                total += static_cast<std::uint64_t>(got);
                seen += std::memchr(block.data(), '\x07', static_cast<std::size_t>(got)) != nullptr;
            }
            close(fd);
        }
    };
    const auto start = Clock::now();
    std::thread second(reader);
    reader();
    second.join();
    std::printf("seconds=%.4f files=%zu bytes=%llu blocks_with_bell=%zu\n", secondsSince(start), paths.size(),
                static_cast<unsigned long long>(total.load()), seen.load());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    GuardedApplication app(argc, argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "walk") {
        return searchRun({args[1]});
    }
    if (args.size() == 3 && args[0] == "content") {
        return searchRun({args[1], "txt", args[2].c_str()});
    }
    if (args.size() == 3 && args[0] == "content-unaware") {
        NoDocuments unaware;
        DocumentReader::install(&unaware);
        return searchRun({args[1], "txt", args[2].c_str()});
    }
    if ((args.size() == 4 || (args.size() == 5 && args[4] == "dos")) && args[0] == "documents") {
        RunSetting setting{args[1], "*", args[2].c_str()};
        setting.foundList = args[3].c_str();
        setting.dos = args.size() == 5;
        return searchRun(setting);
    }
    if (args.size() == 1 && args[0] == "system") {
        return searchRun({"/", "*"});
    }
    if (args.size() == 4 && args[0] == "stop") {
        return searchRun({args[1], "bin", args[2].c_str(), false, std::stoi(args[3])});
    }
    if (args.size() == 3 && args[0] == "file") {
        return fileSearch(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == "ceiling") {
        return readCeiling(args[1]);
    }
    std::fputs(
        "usage: search_bench walk TREE | content TREE TEXT | content-unaware TREE TEXT | documents TREE TEXT "
        "LIST [dos] | system | "
        "stop FOLDER TEXT MS | file PATH TEXT | ceiling TREE\n",
        stderr);
    return 2;
}
