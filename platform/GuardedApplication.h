#pragma once
// The application object. Every handler the program gives Qt runs through guarded() (HandlerGuard.h), which
// shows an unexpected failure and returns normally; notify() holds the same guard as a last resort, for a
// failure in a handler that was not given one.

#include <QApplication>
#include <exception>

class GuardedApplication : public QApplication {
    Q_OBJECT
  public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an unexpected failure's text in an error box.
void reportUnexpected(const std::exception& failure);
// Shows that something failed that carries no text (a thrown value that is not an exception).
void reportUnknownFailure();
