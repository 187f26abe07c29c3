#include "platform/GuardedApplication.h"

#include "platform/HandlerGuard.h"
#include "platform/Messages.h"
#include "platform/files/FileError.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return guardedAnswer(false, [&] { return QApplication::notify(receiver, event); });
}

void reportUnexpected(const std::exception& failure) {
    const auto* onFile = dynamic_cast<const FileError*>(&failure);
    Messages::current().error(onFile != nullptr ? onFile->shownText() : QString::fromUtf8(failure.what()));
}

void reportUnknownFailure() {
    Messages::current().error(QStringLiteral("Непредвиденная ошибка."));
}
