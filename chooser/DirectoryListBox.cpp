#include "chooser/DirectoryListBox.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "icons/Icons.h"
#include "platform/HandlerGuard.h"
#include "platform/files/FileError.h"
#include "platform/text/ShownName.h"

namespace {

constexpr int kRowHeight = 16;
constexpr int kIndent = 8;

}  // namespace

DirectoryListBox::DirectoryListBox(QWidget* parent, SubfolderReader& reader)
    : QTreeWidget(parent), list_(reader) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(kIndent);
    setUniformRowHeights(true);
    setIconSize(QSize(18, 14));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

bool DirectoryListBox::tryEnter(const std::string& folder) {
    try {
        list_.enter(folder);
    } catch (const FileError&) {
        return false;
    }
    showRows();
    return true;
}

bool DirectoryListBox::enterOrReport(const std::string& folder) {
    const std::string before = list_.current();
    try {
        list_.enter(folder);
    } catch (const FileError& failure) {
        reportUnexpected(failure);
        return false;
    }
    showRows();
    if (list_.current() != before) {
        emit changed();
    }
    return true;
}

void DirectoryListBox::showRows() {
    clear();
    const QIcon open(openFolderPicture());
    const QIcon closed(folderPicture());
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* currentRow = nullptr;
    for (const FolderRow& row : list_.rows()) {
        auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
        item->setText(0, shownName(row.name));
        item->setData(0, Qt::UserRole, QByteArray::fromStdString(row.path));
        item->setIcon(0, row.kind == FolderRow::Kind::Closed ? closed : open);
        item->setSizeHint(0, QSize(0, kRowHeight));
        if (row.kind != FolderRow::Kind::Closed) {
            parent = item;
        }
        if (row.kind == FolderRow::Kind::Current) {
            QFont bold = font();
            bold.setBold(true);
            item->setFont(0, bold);
            currentRow = item;
        }
    }
    expandAll();
    setCurrentItem(currentRow);
}

std::string DirectoryListBox::pathOf(const QTreeWidgetItem& item) {
    return item.data(0, Qt::UserRole).toByteArray().toStdString();
}

void DirectoryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item == nullptr || event->button() != Qt::LeftButton) {
        QTreeWidget::mouseDoubleClickEvent(event);
        return;
    }
    guarded([&] { enterOrReport(pathOf(*item)); });
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentItem() != nullptr) {
        guarded([this] { enterOrReport(pathOf(*currentItem())); });
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
