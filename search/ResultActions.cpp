#include "search/ResultActions.h"

#include "picture/PictureLoader.h"
#include "platform/FileSystem.h"
#include "search/SearchRun.h"

const QString kFolderChosenMessage = QStringLiteral("Выбрана папка. К ней можно перейти.");
const QString kCannotOpenMessage = QStringLiteral("Неизвестна программа для открытия, или другая ошибка.");

ViewSide viewSideOf(const std::string& path) {
    if (FileSystem::current().folderExists(path)) {
        return ViewSide::Folder;
    }
    return pictureKindOf(path) != PictureKind::None ? ViewSide::Picture : ViewSide::Text;
}

std::string resultPath(const std::string& typedStartFolder, const std::string& line) {
    // The run's own reading of its start folder: blanks trimmed, one trailing "/" dropped.
    std::string start = trimBlanks(typedStartFolder);
    if (!start.empty() && start.back() == '/') {
        start.pop_back();
    }
    return pathFromCurrentFolder(start, line);
}

QString folderViewMessage(const std::string& path) {
    return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())) +
           QStringLiteral(" - это папка. К ней можно перейти.");
}
