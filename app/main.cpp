#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "app/forms.h"
#include "platform/CommandLine.h"
#include "platform/GuardedApplication.h"
#include "search/FS1.h"

namespace {

// Qt aborts with a terse message when there is no display; say plainly what to do instead.
bool displayAvailable() {
    const bool platformChosen = std::getenv("QT_QPA_PLATFORM") != nullptr;
    const bool x11 = std::getenv("DISPLAY") != nullptr;
    const bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr;
    return platformChosen || x11 || wayland;
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs(
            "Varnel needs a graphical display (X11 or Wayland), and none was found.\n"
            "On a machine without one, run it under a virtual display: xvfb-run -a ./build/varnel\n",
            stderr);
        return 1;
    }
    keepArgumentBytes(argc, argv);
    GuardedApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    try {
        createForms(arguments);
    } catch (const std::exception& failure) {
        reportUnexpected(failure);
    }
    FILESCH->show();
    return app.exec();
}
