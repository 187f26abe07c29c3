#include "search/results/ResultsModel.h"

#include "platform/text/ShownName.h"

void ResultsModel::setLines(FoundLines lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    // The tooltip shows the line whole where the list has to shorten it.
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const std::string_view path = lines_.at(static_cast<std::size_t>(index.row()));
    return shownName(path);
}

// A line can be dragged out of the list; nothing is ever dropped into it.
Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}
