#include "platform/GuardedApplication.h"

#include "platform/Messages.h"
#include "platform/files/FileError.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        reportUnexpected(failure);
    } catch (...) {
        Messages::current().error(QStringLiteral("Непредвиденная ошибка."));
    }
    return false;
}

void reportUnexpected(const std::exception& failure) {
    const auto* onFile = dynamic_cast<const FileError*>(&failure);
    Messages::current().error(onFile != nullptr ? onFile->shownText() : QString::fromUtf8(failure.what()));
}
