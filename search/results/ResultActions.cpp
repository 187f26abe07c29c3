#include "search/results/ResultActions.h"

#include "picture/PictureLoader.h"
#include "platform/files/CurrentFolder.h"
#include "platform/files/LongPath.h"
#include "platform/text/ShownName.h"
#include "search/SearchRun.h"

const QString kFolderChosenMessage = QStringLiteral("Выбрана папка. К ней можно перейти.");
const QString kCannotOpenMessage = QStringLiteral("Неизвестна программа для открытия, или другая ошибка.");

ViewSide viewSideOf(const std::string& path) {
    if (isFolder(path)) {
        return ViewSide::Folder;
    }
    return pictureKindOf(path) != PictureKind::None ? ViewSide::Picture : ViewSide::Text;
}

std::string resultPath(const std::string& runFrom, const std::string& line) {
    return reachedFrom(runFrom, line);
}

QString folderViewMessage(const std::string& path) {
    return shownName(path) + QStringLiteral(" - это папка. К ней можно перейти.");
}
