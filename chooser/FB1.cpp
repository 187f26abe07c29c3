#include "chooser/FB1.h"

#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>

#include "chooser/DirectoryListBox.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/text/ShownName.h"
#include "search/FS1.h"

TFB* FB = nullptr;

namespace {

std::string processCurrentFolder() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string("/");
}

}  // namespace

TFB::TFB(SubfolderReader& reader, std::vector<std::string> drives, QWidget* parent)
    : QWidget(parent, Qt::Window), drives_(std::move(drives)) {
    setWindowTitle(QStringLiteral(" Для поиска"));
    setFont(makeFont(Face::MsSansSerif, 11));
    resize(158, 268);
    move(20, 114);
    createControls(reader);
    startAtCurrentFolder();
}

void TFB::createControls(SubfolderReader& reader) {
    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setGeometry(6, 0, 145, 19);
    for (const std::string& drive : drives_) {
        DriveComboBox1->addItem(shownName(drive));
    }
    StaticText1 = new QLabel(QStringLiteral("Выбери папку "), this);
    StaticText1->setGeometry(8, 24, 102, 20);
    StaticText1->setFont(makeFont(Face::Arial, 13, Bold));
    DirectoryListBox1 = new DirectoryListBox(this, reader);
    DirectoryListBox1->setGeometry(6, 40, 145, 193);
    Button1 = new QPushButton(QStringLiteral("Выход"), this);
    Button1->setGeometry(8, 240, 145, 25);
    Button1->setFont(makeFont(Face::Arial, 16, Bold));

    setTabOrder(DriveComboBox1, DirectoryListBox1);
    setTabOrder(DirectoryListBox1, Button1);

    connect(DriveComboBox1, &QComboBox::activated, this, guardedSlot(this, &TFB::DriveComboBox1Change));
    connect(DirectoryListBox1, &DirectoryListBox::changed, this,
            guardedSlot(this, &TFB::DirectoryListBox1Change));
    connect(Button1, &QPushButton::clicked, this, guardedSlot(this, &TFB::Button1Click));
}

// The chooser starts where the process started; that writes nothing, as no folder was picked yet.
void TFB::startAtCurrentFolder() {
    if (!DirectoryListBox1->tryEnter(processCurrentFolder())) {
        DirectoryListBox1->tryEnter("/");
    }
    const std::string drive = rootHolding(drives_, DirectoryListBox1->folder());
    const auto shown = std::find(drives_.begin(), drives_.end(), drive);
    DriveComboBox1->setCurrentIndex(shown == drives_.end() ? 0 : static_cast<int>(shown - drives_.begin()));
    lastEntered_[drive] = DirectoryListBox1->folder();
}

void TFB::DriveComboBox1Change() {
    const int index = DriveComboBox1->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= drives_.size()) {
        return;
    }
    const std::string& drive = drives_[static_cast<std::size_t>(index)];
    const auto remembered = lastEntered_.find(drive);
    const std::string target = remembered != lastEntered_.end() ? remembered->second : drive;
    // A remembered folder that has gone is forgotten, so the next pick of the drive reaches its root.
    if (!DirectoryListBox1->enterOrReport(target)) {
        lastEntered_.erase(drive);
    }
}

void TFB::DirectoryListBox1Change() {
    lastEntered_[rootHolding(drives_, DirectoryListBox1->folder())] = DirectoryListBox1->folder();
    writeFolderIntoSearchWindow();
}

void TFB::Button1Click() {
    writeFolderIntoSearchWindow();
    close();
}

void TFB::writeFolderIntoSearchWindow() {
    if (FILESCH != nullptr) {
        FILESCH->setStartFolder(DirectoryListBox1->folder());
    }
}
