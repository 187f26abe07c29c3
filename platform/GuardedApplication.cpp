#include "platform/GuardedApplication.h"

#include "platform/Messages.h"

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
    Messages::current().error(QString::fromUtf8(failure.what()));
}
