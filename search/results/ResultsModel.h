#pragma once
// The result list's rows: full paths as bytes, decoded only for display (ShownName). A run's lines are moved
// in whole at its end, so even hundreds of thousands of matches reach the list at once, without a copy.

#include <QAbstractListModel>
#include <string>

#include "search/results/FoundLines.h"

class ResultsModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(FoundLines lines);
    const FoundLines& lines() const { return lines_; }
    std::string line(int row) const { return std::string(lines_.at(static_cast<std::size_t>(row))); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    FoundLines lines_;
};
