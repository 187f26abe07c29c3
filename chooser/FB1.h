#pragma once
// The folder chooser: a small window beside the search window in which the start folder is picked by clicking
// through drives (mounted file-system roots) and folders. Every change of folder is written at once into the
// search window's start-folder field; the chooser never reads that field.

#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "chooser/MountList.h"
#include "chooser/SubfolderReader.h"

class DirectoryListBox;
class QComboBox;
class QLabel;
class QPushButton;

class TFB : public QWidget {
    Q_OBJECT
  public:
    // `readDrives` gives the roots the drive selector offers, "/" first; they are read again each time the
    // selector is opened, so a disk mounted meanwhile appears.
    explicit TFB(SubfolderReader& reader = systemSubfolderReader(),
                 std::function<std::vector<std::string>()> readDrives = mountedRoots,
                 QWidget* parent = nullptr);

    QComboBox* DriveComboBox1;
    QLabel* StaticText1;
    DirectoryListBox* DirectoryListBox1;
    QPushButton* Button1;

    // The roots the drive selector offers, in its order.
    const std::vector<std::string>& drives() const { return drives_; }

  public slots:
    void DriveComboBox1Change();
    void DirectoryListBox1Change();
    void Button1Click();

  private:
    void createControls(SubfolderReader& reader);
    void startAtCurrentFolder();
    // Fills the drive selector afresh and shows the drive of the folder in the list.
    void offerDrives();
    void writeFolderIntoSearchWindow();

    std::function<std::vector<std::string>()> readDrives_;
    std::vector<std::string> drives_;
    // The folder last entered on each drive, so picking a drive again goes back there.
    std::map<std::string, std::string> lastEntered_;
};

extern TFB* FB;
