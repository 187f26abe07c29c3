// Measures the search run through the real window offscreen, and SearchFile on one large file.
//   search_bench walk TREE           subfolders, mask *.txt
//   search_bench content TREE TEXT   the same with "С текстом"
//   search_bench file PATH TEXT      SearchFile over one file, and a plain read loop over it
// Each prints one line of key=value figures for the run script.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLineEdit>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/forms.h"
#include "matching/ContentMatch.h"
#include "platform/EventPump.h"
#include "platform/GuardedApplication.h"
#include "platform/Messages.h"
#include "search/FS1.h"

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

// Processes events as the real pump does and records the longest time between two calls.
class GapMeasuringPump : public EventPump {
  public:
    GapMeasuringPump() : last_(Clock::now()), lastProcessed_(last_) {}
    void pump() override {
        const auto now = Clock::now();
        longestGap_ = std::max(longestGap_, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
        if (now - lastProcessed_ >= std::chrono::milliseconds(8)) {
            QCoreApplication::processEvents();
            lastProcessed_ = Clock::now();
        }
    }
    double longestGapMs() const { return longestGap_; }

  private:
    Clock::time_point last_;
    Clock::time_point lastProcessed_;
    double longestGap_ = 0;
};

class SilentMessages : public Messages {
  public:
    void information(const QString&) override {}
    void captioned(const QString&, const QString&) override {}
    void error(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
};

int searchRun(const std::string& tree, const char* text) {
    SilentMessages messages;
    Messages::install(&messages);
    createForms({});
    FILESCH->Edit1->setText(QString::fromStdString(tree));
    FILESCH->Edit2->setText(QStringLiteral("*"));
    FILESCH->Edit3->setText(QStringLiteral("txt"));
    FILESCH->CheckBox2->setChecked(true);
    FILESCH->CheckBox1->setChecked(text != nullptr);
    FILESCH->Edit5->setText(text != nullptr ? QString::fromUtf8(text) : QString());
    FILESCH->show();
    QCoreApplication::processEvents();

    GapMeasuringPump pump;
    EventPump::install(&pump);
    const auto start = Clock::now();
    FILESCH->Button2Click();
    const double seconds = secondsSince(start);
    std::printf("seconds=%.4f found=%zu max_pump_gap_ms=%.2f peak_rss_kib=%ld\n", seconds,
                FILESCH->foundList().size(), pump.longestGapMs(), peakResidentKib());
    return 0;
}

int fileSearch(const std::string& path, const std::string& text) {
    GapMeasuringPump pump;
    EventPump::install(&pump);
    auto start = Clock::now();
    const std::int64_t found = SearchFile(path, text, 0);
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
        pump.longestGapMs(), peakResidentKib());
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
        return searchRun(args[1], nullptr);
    }
    if (args.size() == 3 && args[0] == "content") {
        return searchRun(args[1], args[2].c_str());
    }
    if (args.size() == 3 && args[0] == "file") {
        return fileSearch(args[1], args[2]);
    }
    std::fputs("usage: search_bench walk TREE | content TREE TEXT | file PATH TEXT\n", stderr);
    return 2;
}
