#pragma once
// A label that reads as a web link (blue, underlined, a pointing hand) and reports a left click.

#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
  public:
    LinkLabel(const QString& text, QWidget* parent);

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
