#pragma once
// What a copy or a drag of results carries, without widgets.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QAbstractItemModel;
class QMimeData;

// One result: the line as the list shows it, as text, and the entry's file address as a URI list, its raw
// bytes percent-encoded as Reveal gives them, so a file manager takes the file itself and an editor or a
// terminal its path.
std::unique_ptr<QMimeData> resultMimeData(const QString& shownLine, const std::string& path);

// Every row of the list as shown, each ended by a line feed. Events are pumped after every 20 ms of the work,
// so the window stays alive however long the list; `abandoned` is asked after each pump, and when it says
// yes (the list was replaced meanwhile) nothing is returned.
std::optional<QString> allLinesText(const QAbstractItemModel& list, const std::function<bool()>& abandoned);
