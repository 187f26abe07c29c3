#pragma once
// Varnel's own help window: the pages help.chm is compiled from, built into the program, with their contents
// beside them. The About box shows it when help.chm is there but the desktop has no program that opens it.

#include <QWidget>

class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QListWidget* Contents;
    QTextBrowser* Pages;
    QPushButton* Back;
    QPushButton* Forward;

    // Shows the window on top, at the page shown last (the first page the first time).
    void open();
    // The page on display, as "search.htm".
    QString page() const;

  private:
    void showTopic(int row);
    // Marks the contents entry of the page on display.
    void markTopic(const QUrl& source);
};
