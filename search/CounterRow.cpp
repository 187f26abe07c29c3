#include "search/CounterRow.h"

#include <QWidget>
#include <algorithm>
#include <limits>

namespace {

// The least room between a grown counter and the control it pushes.
constexpr int kGap = 4;

}  // namespace

void flowRow(const std::vector<RowPlace>& row) {
    int shift = 0;                                  // how far the controls so far have been pushed
    int reached = std::numeric_limits<int>::min();  // where a counter before ends, with the gap
    for (const RowPlace& place : row) {
        QRect at = place.designed.translated(shift, 0);
        if (at.left() < reached) {
            shift += reached - at.left();
            at.moveLeft(reached);
        }
        reached = std::numeric_limits<int>::min();
        if (place.counter) {
            at.setWidth(std::max(at.width(), place.widget->sizeHint().width()));
            reached = at.left() + at.width() + kGap;
        }
        place.widget->setGeometry(at);
    }
}
