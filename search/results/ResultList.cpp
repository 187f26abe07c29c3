#include "search/results/ResultList.h"

#include <QDrag>
#include <QHelpEvent>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "platform/HandlerGuard.h"

namespace {

// Rows take the list's width whatever their text: the view makes a row as wide as the wider of its size and
// the list's, so a row asking for no width never reaches past the list and is shortened instead.
class ShortenedRows : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {0, QStyledItemDelegate::sizeHint(option, index).height()};
    }

    // The whole path as a tooltip only where the row shows it shortened.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() == QEvent::ToolTip && !shortened(view, option, index)) {
            QToolTip::hideText();
            return true;
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

  private:
    bool shortened(const QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const {
        QStyleOptionViewItem row = option;
        initStyleOption(&row, index);
        const QStyle* style = view->style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, &row, view) + 1;
        const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &row, view).width() - 2 * margin;
        return row.fontMetrics.horizontalAdvance(row.text) > room;
    }
};

}  // namespace

ResultList::ResultList(QWidget* parent) : QListView(parent) {
    setItemDelegate(new ShortenedRows(this));
    setTextElideMode(Qt::ElideMiddle);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

void ResultList::setDragData(std::function<std::unique_ptr<QMimeData>()> dragData) {
    dragData_ = std::move(dragData);
}

// Varnel never moves or deletes a user's file: a drop that asks for a move is refused.
void ResultList::startDrag(Qt::DropActions) {
    std::unique_ptr<QMimeData> data;
    guarded([&] { data = dragData_ ? dragData_() : nullptr; });
    if (!data) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data.release());
    drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}
