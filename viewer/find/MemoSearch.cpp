#include "viewer/find/MemoSearch.h"

qsizetype findWithoutCase(const QString& text, const QString& needle, qsizetype from) {
    if (needle.isEmpty()) {
        return -1;
    }
    return text.indexOf(needle, from, Qt::CaseInsensitive);
}
