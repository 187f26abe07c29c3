// Measures the result list's ways in with a long list, through the real window (offscreen unless a display is
// named): the menu, the copy of one line and of every line.
//   results_bench [LINES]    561000 lines unless told
// Prints one line of key=value figures. The longest gap is the longest time the copy of every line went
// without handling events, its last stretch (building done, text on the clipboard) included.
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/forms.h"
#include "platform/EventPump.h"
#include "platform/GuardedApplication.h"
#include "search/FS1.h"
#include "search/results/FoundLines.h"
#include "search/results/ResultList.h"
#include "search/results/ResultsModel.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Handles events at every call and keeps the longest time between two calls.
class GapMeasuringPump : public EventPump {
  public:
    void pump() override {
        longestMs = std::max(longestMs, msSince(last));
        QCoreApplication::processEvents();
        last = Clock::now();
    }
    Clock::time_point last = Clock::now();
    double longestMs = 0;
};

// Paths of the depth and length a home folder's results have.
FoundLines sampleLines(std::size_t count) {
    FoundLines lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines.append("/home/user/Документы/проекты/project-" + std::to_string(i / 1000) + "/src/module_" +
                     std::to_string(i % 97) + "/file_" + std::to_string(i) + ".txt");
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() && qgetenv("DISPLAY").isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    GuardedApplication app(argc, argv);
    const std::size_t count = argc > 1 ? std::stoul(argv[1]) : 561000;
    createForms({});
    FILESCH->show();
    auto start = Clock::now();
    FILESCH->ListBox1Items->setLines(sampleLines(count));
    const QModelIndex middle = FILESCH->ListBox1Items->index(static_cast<int>(count / 2));
    // The list lays itself out in slices between events; then the middle line is scrolled into view.
    const auto shown = [&] {
        return FILESCH->ListBox1->viewport()->rect().contains(FILESCH->ListBox1->visualRect(middle).center());
    };
    while (!shown()) {
        FILESCH->ListBox1->scrollTo(middle);
        QCoreApplication::processEvents();
    }
    const double layoutMs = msSince(start);

    start = Clock::now();
    const std::unique_ptr<QMenu> menu = FILESCH->resultMenuAt(FILESCH->ListBox1->visualRect(middle).center());
    const double menuMs = msSince(start);

    start = Clock::now();
    FILESCH->copySelectedPath();
    const double copyOneMs = msSince(start);

    GapMeasuringPump pump;
    EventPump::install(&pump);
    start = Clock::now();
    pump.last = start;
    FILESCH->copyAllResults();
    pump.pump();  // the last stretch ends here
    const double copyAllMs = msSince(start);
    const qsizetype copied = QGuiApplication::clipboard()->text().size();
    EventPump::install(nullptr);

    std::printf(
        "lines=%zu platform=%s filled_and_scrolled_ms=%.1f menu_ms=%.2f copy_one_ms=%.2f "
        "copy_all_ms=%.1f copy_all_chars=%lld max_pump_gap_ms=%.2f\n",
        count, qPrintable(QGuiApplication::platformName()), layoutMs, menuMs, copyOneMs, copyAllMs,
        static_cast<long long>(copied), pump.longestMs);
    return menu != nullptr ? 0 : 1;
}
