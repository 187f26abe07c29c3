#pragma once
// A row of the search window whose counters grow with their numbers: each counter is as wide as its text
// needs, never narrower than its designed place, and the controls after it in the row move right only as far
// as a grown counter reaches into them.

#include <QRect>
#include <vector>

class QWidget;

struct RowPlace {
    QWidget* widget;
    QRect designed;
    bool counter = false;
};

// Places the controls of one row, given from left to right.
void flowRow(const std::vector<RowPlace>& row);
