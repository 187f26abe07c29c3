#pragma once
// The result list's rows: full paths as bytes, decoded as UTF-8 only for display. The whole list is handed
// over in one step, so even a run with hundreds of thousands of matches fills the list at once.

#include <QAbstractListModel>
#include <string>
#include <vector>

class ResultsModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(std::vector<std::string> lines);
    const std::string& line(int row) const { return lines_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<std::string> lines_;
};
