#pragma once
// The application object with the program's one top-level handler: an exception thrown by any event handler
// stops at notify(), its text is shown in an error box and the program goes on.

#include <QApplication>
#include <exception>

class GuardedApplication : public QApplication {
    Q_OBJECT
  public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an unexpected failure's text; for the few places that run outside an event handler (start-up).
void reportUnexpected(const std::exception& failure);
