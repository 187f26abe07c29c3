#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/forms.h"
#include "platform/CommandLine.h"
#include "platform/GuardedApplication.h"
#include "platform/HandlerGuard.h"
#include "platform/TerminationRequests.h"
#include "platform/ToolkitTranslation.h"
#include "search/FS1.h"

namespace {

const char* const kUsage =
    "Использование: varnel [ФАЙЛ [ТЕКСТ]]\n"
    "Ищет файлы и папки по маске имени и расширения и по тексту внутри файлов,\n"
    "показывает найденное как текст, шестнадцатеричный дамп или картинку.\n"
    "\n"
    "  ФАЙЛ       файл, который просмотрщик загружает при запуске\n"
    "  ТЕКСТ      текст для поиска в этом файле (только вместе с ФАЙЛОМ)\n"
    "  --help     показать эту справку и выйти\n"
    "  --version  показать название и версию и выйти\n"
    "  --         конец ключей: дальше только ФАЙЛ и ТЕКСТ, даже если они начинаются с \"-\"\n"
    "\n"
    "Подробная справка: кнопка \"Помощь\" в окне \"О программе\" (файл help.chm в папке программы),\n"
    "man varnel.\n";

// Qt aborts with a terse message when there is no display; say plainly what to do instead.
bool displayAvailable() {
    const bool platformChosen = std::getenv("QT_QPA_PLATFORM") != nullptr;
    const bool x11 = std::getenv("DISPLAY") != nullptr;
    const bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr;
    return platformChosen || x11 || wayland;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLineRequest request = readCommandLine(argc, argv);
    if (request.action == CommandLineRequest::Action::Usage) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (request.action == CommandLineRequest::Action::Version) {
        std::printf("Varnel %s\n", VARNEL_VERSION);
        return 0;
    }
    if (!displayAvailable()) {
        std::fputs(
            "Varnel needs a graphical display (X11 or Wayland), and none was found.\n"
            "On a machine without one, run it under a virtual display: xvfb-run -a ./build/varnel\n",
            stderr);
        return 1;
    }
    // The toolkit sees only what stands before "--" and takes its own options out of argv in place.
    int toolkitCount = request.toolkitCount;
    GuardedApplication app(toolkitCount, argv);
    // The system's reasons in error messages (strerror) come in the user's language; the toolkit has set the
    // character type (UTF-8) already. Numbers keep the C form whatever the user's locale writes.
    std::setlocale(LC_MESSAGES, "");
    std::setlocale(LC_NUMERIC, "C");
    loadToolkitTranslation();
    std::vector<std::string> arguments(argv + std::min(toolkitCount, 1), argv + toolkitCount);
    arguments.insert(arguments.end(), request.afterOptions.begin(), request.afterOptions.end());
    const QStringList kept = keepArguments(arguments);
    // With a file to view, every window is made before the first is shown, as the viewer shows it at once;
    // without, the windows nothing shows yet are made once the search window is up.
    const bool fileToView = !kept.isEmpty();
    try {
        if (fileToView) {
            createForms(kept);
        } else {
            createSearchForms();
        }
    } catch (const std::exception& failure) {
        reportUnexpected(failure);
    }
    FILESCH->show();
    if (!fileToView) {
        QTimer::singleShot(0, [kept] { guarded([&] { createOtherForms(kept); }); });
    }
    // From here on the windows and the settings are in place, and the event loop runs the request.
    onTerminationRequest([] { FILESCH->endOnRequest(); });
    return app.exec();
}
