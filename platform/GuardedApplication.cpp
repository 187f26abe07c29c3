#include "platform/GuardedApplication.h"

#include "platform/HandlerGuard.h"
#include "platform/Messages.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    return guardedAnswer(false, [&] { return QApplication::notify(receiver, event); });
}

void reportUnexpected(const std::exception& failure) {
    Messages::current().error(QString::fromUtf8(failure.what()));
}

void reportUnknownFailure() {
    Messages::current().error(QStringLiteral("Непредвиденная ошибка."));
}
