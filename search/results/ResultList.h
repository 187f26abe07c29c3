#pragma once
// The result list's view: one path per row, as wide as the list, a path too long for it shortened in its
// middle so the name stays visible (its tooltip shows it whole). A row can be dragged out, to be copied or
// linked only; nothing can be dropped in.

#include <QListView>
#include <functional>
#include <memory>

class QMimeData;

class ResultList : public QListView {
    Q_OBJECT
  public:
    explicit ResultList(QWidget* parent);

    // What a drag of the selected row carries; a drag starts only when it gives something.
    void setDragData(std::function<std::unique_ptr<QMimeData>()> dragData);

  protected:
    void startDrag(Qt::DropActions supportedActions) override;

  private:
    std::function<std::unique_ptr<QMimeData>()> dragData_;
};
