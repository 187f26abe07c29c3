#pragma once
// The folder chooser's folder list: a thin view of FolderList. A single click only selects a row; a
// double-click or Enter on a row makes its folder current.

#include <QTreeWidget>
#include <string>

#include "chooser/FolderList.h"

class DirectoryListBox : public QTreeWidget {
    Q_OBJECT
  public:
    DirectoryListBox(QWidget* parent, SubfolderReader& reader);

    // Makes `folder` current, quietly; false when it cannot be read (then nothing changes).
    bool tryEnter(const std::string& folder);
    // Makes `folder` current and reports a change; when it cannot be read, shows why, keeps the current one
    // and returns false.
    bool enterOrReport(const std::string& folder);

    const std::string& folder() const { return list_.current(); }

  signals:
    // The current folder changed through the list or through enterOrReport.
    void changed();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The rows show their level by indentation and pictures alone; nothing here can be folded.
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

  private:
    void showRows();
    static std::string pathOf(const QTreeWidgetItem& item);

    FolderList list_;
};
