#pragma once
// The settings window: the two external viewers, each switched on by its check box and named by its program's
// path. The controls are the settings, read at the moment a result is viewed; only the paths are kept in
// "fs.ini" (SettingsFile).

#include <QDialog>
#include <array>
#include <string>

#include "platform/text/KeptBytes.h"
#include "settings/SettingsFile.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TSet1 : public QDialog {
    Q_OBJECT
  public:
    explicit TSet1(QWidget* parent = nullptr);

    QLabel* StaticText1;
    QCheckBox* CheckBox1;
    QPushButton* Button1;
    QLineEdit* Edit1;
    QCheckBox* CheckBox2;
    QPushButton* Button2;
    QLineEdit* Edit2;
    QPushButton* Button3;

    // The row's check box: its external viewer is switched on.
    bool viewerOn(ViewerRow row) const;
    // A row's program as bytes: the path it was given, as long as its field is not edited, else the typed
    // text encoded as UTF-8.
    std::string viewerPath(ViewerRow row) const;
    // Puts a program's path into its row's field; the check box is not touched.
    void setViewerPath(ViewerRow row, const std::string& path);
    // A path read from the settings file: its row is switched on.
    void loadViewer(ViewerRow row, const std::string& path);
    // The search window's indicator: ticked exactly when either viewer is switched on.
    void updateIndicator();

  public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();

  protected:
    // Every way of closing the window (Вернуться, the close box, the system menu) ends here.
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createControls();
    void chooseProgram(ViewerRow row);
    QCheckBox* checkBox(ViewerRow row) const;
    QLineEdit* edit(ViewerRow row) const;

    std::array<KeptBytes, 2> given_;
};

extern TSet1* Set1;
