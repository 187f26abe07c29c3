#include "search/results/ResultCopy.h"

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QMimeData>

#include "platform/EventPump.h"
#include "platform/desktop/Shell.h"

namespace {

constexpr qint64 kMsBetweenPumps = 20;
constexpr int kRowsBetweenClockReads = 256;

}  // namespace

std::unique_ptr<QMimeData> resultMimeData(const QString& shownLine, const std::string& path) {
    auto data = std::make_unique<QMimeData>();
    data->setText(shownLine);
    const std::string uri = entryUri(path) + "\r\n";  // a URI list ends each address with CR LF
    data->setData(QStringLiteral("text/uri-list"),
                  QByteArray(uri.data(), static_cast<qsizetype>(uri.size())));
    return data;
}

std::optional<QString> allLinesText(const QAbstractItemModel& list, const std::function<bool()>& abandoned) {
    QString text;
    QElapsedTimer sincePump;
    sincePump.start();
    const int rows = list.rowCount();
    for (int row = 0; row < rows; ++row) {
        text += list.data(list.index(row, 0), Qt::DisplayRole).toString();
        text += QLatin1Char('\n');
        if (row % kRowsBetweenClockReads == kRowsBetweenClockReads - 1 &&
            sincePump.elapsed() >= kMsBetweenPumps) {
            pumpEvents();
            if (abandoned()) {
                return std::nullopt;
            }
            sincePump.restart();
        }
    }
    return text;
}
