#include "settings/ProgramDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace {

// Programs carry no extension here, so the one filter lists the files that may be executed, and the folders
// to reach them.
class ExecutableFiles : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files == nullptr) {
            return true;
        }
        const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
        return info.isDir() || info.isExecutable();
    }
};

class FileDialog : public ProgramDialog {
  public:
    std::optional<std::string> choose(QWidget* parent) override {
        QFileDialog dialog(parent, QStringLiteral("Выберите программу"));
        // The filter below needs the toolkit's own dialog.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setFileMode(QFileDialog::AnyFile);  // a typed name of a file that is not there is accepted too
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setNameFilter(QStringLiteral("Программы (исполняемые файлы) (*)"));
        dialog.setProxyModel(new ExecutableFiles(&dialog));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    }
};

ProgramDialog* installed = nullptr;

}  // namespace

ProgramDialog& ProgramDialog::current() {
    static FileDialog real;
    return installed != nullptr ? *installed : real;
}

void ProgramDialog::install(ProgramDialog* replacement) {
    installed = replacement;
}
