#include "chooser/FB1.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "chooser/DirectoryListBox.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/files/CurrentFolder.h"
#include "platform/text/ShownName.h"
#include "search/FS1.h"

TFB* FB = nullptr;

namespace {

// The drive selector: it asks for the drives again just before its list opens.
class DriveSelector : public QComboBox {
  public:
    DriveSelector(QWidget* parent, std::function<void()> beforeOpening)
        : QComboBox(parent), beforeOpening_(std::move(beforeOpening)) {}
    void showPopup() override {
        guarded(beforeOpening_);
        QComboBox::showPopup();
    }

  private:
    std::function<void()> beforeOpening_;
};

}  // namespace

TFB::TFB(SubfolderReader& reader, std::function<std::vector<std::string>()> readDrives, QWidget* parent)
    : QWidget(parent, Qt::Window), readDrives_(std::move(readDrives)) {
    setWindowTitle(QStringLiteral(" Для поиска"));
    setFont(makeFont(Face::MsSansSerif, 11));
    resize(158, 268);
    move(20, 114);
    createControls(reader);
    startAtCurrentFolder();
}

void TFB::createControls(SubfolderReader& reader) {
    DriveComboBox1 = new DriveSelector(this, [this] { offerDrives(); });
    DriveComboBox1->setGeometry(6, 0, 145, 19);
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
    if (!DirectoryListBox1->tryEnter(currentFolder())) {
        DirectoryListBox1->tryEnter("/");
    }
    offerDrives();
    lastEntered_[rootHolding(drives_, DirectoryListBox1->folder())] = DirectoryListBox1->folder();
}

void TFB::offerDrives() {
    drives_ = readDrives_();
    DriveComboBox1->clear();
    for (const std::string& drive : drives_) {
        DriveComboBox1->addItem(shownName(drive));
    }
    const std::string drive = rootHolding(drives_, DirectoryListBox1->folder());
    const auto shown = std::find(drives_.begin(), drives_.end(), drive);
    DriveComboBox1->setCurrentIndex(shown == drives_.end() ? 0 : static_cast<int>(shown - drives_.begin()));
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
