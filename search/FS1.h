#pragma once
// The search window: the search criteria, the run and its counters, the result list and the buttons that act
// on a result. Its handlers stay short; the run lives in SearchRun.

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/text/KeptBytes.h"
#include "search/results/ResultList.h"  // ListBox1 is used as the list view it is
#include "settings/SettingsFile.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QToolButton;
class FoundLines;
class ResultsModel;

class TFILESCH : public QWidget {
    Q_OBJECT
  public:
    explicit TFILESCH(QWidget* parent = nullptr);
    ~TFILESCH() override;

    QLabel* Label5;
    QCheckBox* CheckBox2;
    QLabel* Label11;
    QToolButton* SpeedButton2;
    QPushButton* Button5;
    QLabel* Label2;
    QLineEdit* Edit1;
    QFrame* Shape2;
    QLabel* Label1;
    QLabel* Label7;
    QCheckBox* CheckBox1;
    QCheckBox* CheckBox3;
    QLineEdit* Edit2;
    QLabel* Label8;
    QLineEdit* Edit3;
    QLineEdit* Edit5;
    QFrame* Shape1;
    QPushButton* Button2;
    QLabel* Label3;
    QLabel* Label10;
    QLabel* StaticText1;
    QLabel* Label6;
    QCheckBox* CheckBox4;
    QPushButton* Button6;
    QFrame* Shape3;
    QPushButton* Button3;
    QLabel* Label4;
    QLabel* Label9;
    QPushButton* Button1;
    QPushButton* Button4;
    QPushButton* Button7;
    QToolButton* SpeedButton1;
    ResultList* ListBox1;
    ResultsModel* ListBox1Items;

    // The results of the last run, one full path per entry, in the order found.
    const FoundLines& foundList() const;
    bool searching() const { return searching_; }
    bool stopFlag() const { return stopFlag_; }
    // Which built-in viewer View used last: true for the picture viewer.
    bool lastViewerFlag() const { return lastViewerWasPicture_; }

    // Puts a folder into "В папке:". A name that is not valid UTF-8 shows with replacement characters, but
    // the run searches the folder's own bytes as long as the field is not edited.
    void setStartFolder(const std::string& folder);
    // The start folder as bytes: the chosen folder's, or the typed text encoded as UTF-8.
    std::string startFolder() const;

    // The menu offered at a point of the list's viewport, after it has selected the line there; nothing
    // during a run or away from a line. Its actions are the buttons' own.
    std::unique_ptr<QMenu> resultMenuAt(const QPoint& pos);

  public slots:
    void Button2Click();
    void Button3Click();
    void SpeedButton2Click();
    void Button5Click();
    // The actions on the selected result line.
    void ListBox1DblClick();
    void Button7Click();
    void Button1Click();
    void Button4Click();
    void SpeedButton1Click();
    void Button6Click();
    // The selected line on the clipboard as the list shows it and as its file address.
    void copySelectedPath();
    // Every line of the list on the clipboard, as text.
    void copyAllResults();
    // The menu of a result, at a point of the list's viewport.
    void ListBox1ContextMenu(const QPoint& pos);
    // Loads the external viewers' settings; the first show of the window runs it.
    void FormShow();
    // Saves the external viewers' settings when they changed; closing the window runs it. Throws FileError
    // when the save fails.
    void FormClose();
    // Saves the settings if it can and ends the program without asking anything.
    void endOnRequest();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class Form;
    friend class Form;

    void createControls();
    void setTabOrderAsDesigned();
    void showCount(QLabel* counter, std::size_t count);
    void layOutCounterRows();
    std::optional<int> selectedRow() const;
    // The selected result line as a path; nothing when no line is selected.
    std::optional<std::string> selectedPath() const;
    std::unique_ptr<QMimeData> selectedResultData() const;
    void viewSelected();
    // An external viewer's program as typed, reached as if the last run's start folder were still current.
    std::string viewerProgram(ViewerRow row) const;
    void viewPicture();
    void viewText();
    // Saves the settings; when that fails, whether the user chose to close without them.
    bool settingsSavedOrGivenUp();
    void end();

    bool stopFlag_ = false;
    bool searching_ = false;
    bool closed_ = false;
    bool lastViewerWasPicture_ = false;
    bool settingsLoaded_ = false;
    std::string lastRunFrom_;  // the folder current when the last run began
    std::string
        lastRunFolder_;  // the last run's start folder as an absolute path; empty before the first run
    KeptBytes chosenFolder_;
    std::unique_ptr<Form> form_;
};

extern TFILESCH* FILESCH;
// The full path of the file in hand, shared by the search window and the viewers; empty means none.
extern std::string CurrentFilePath;
