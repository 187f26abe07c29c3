#pragma once
// The file viewer: any file, small ones whole and large ones page by page from the disk, as text or as a hex
// dump, in the four readings, with a search in the text or in the file; a document as its text. The window
// wires the controls to the page units of viewer/; it keeps the path it loaded, so pages and searches always
// come from the file its title names.

#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/DocumentText.h"
#include "viewer/document/DocumentView.h"
#include "viewer/find/HexSearch.h"
#include "viewer/find/OpeningReading.h"
#include "viewer/paging/ScrollGeometry.h"
#include "viewer/render/Reading.h"

class QAbstractButton;
class SearchText;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

class TRF : public QWidget {
    Q_OBJECT
  public:
    // `arguments` are the program's arguments after its name: the first is loaded, a second (when there are
    // exactly two) becomes the search text.
    explicit TRF(const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~TRF() override;

    QAbstractButton* BitBtn2;
    QAbstractButton* BitBtn3;
    QPushButton* Button5;
    QLabel* Label4;
    QAbstractButton* BitBtn1;
    QLabel* Label3;
    QPushButton* Button3;
    QLineEdit* Edit1;
    QPlainTextEdit* Memo1;
    QScrollBar* ScrollBar1;

    // The display's state: the loaded file's size as taken at the load, the lines of one page, the offset of
    // the page on display, and which of the displays is on.
    std::int64_t LoadedFileSize = 0;
    int LinesPerPage = 0;
    std::int64_t PageOffset = 0;
    bool WholeTextMode = false;
    bool TextPageMode = false;

    // The file on display; pages, readings and searches read it, whatever the current file path says now.
    const std::string& loadedPath() const { return loadedPath_; }
    // Whether the memo holds the text of a document (rather than the file's bytes in a reading).
    bool showsDocumentText() const { return document_ && documentShown_; }

    // The application-wide hook: the mouse wheel over the memo moves one line or one step. createForms
    // installs it on the application.
    QObject* applicationHook() const { return applicationHook_.get(); }
    bool AppMessage(QObject* watched, QEvent* event);

  public slots:
    // Loads the file named by the current file path and shows its beginning: in the reading its byte-order
    // mark names, else in the current one.
    void LoadFile();
    // LoadFile for a file viewed to find a text: the text goes into the search field and the file opens in
    // the reading that shows it (see openingReading). The file is searched for it while events are let
    // through, as the search in the file is.
    void LoadFileFinding(const TextToFind& find);
    void SetupPaging();
    void ScrollBar1Change();
    void Button5Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void Button3Click();
    void SearchCommand();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void createControls();
    void FormCreate(const QStringList& arguments);
    void open(std::string path, const std::optional<TextToFind>& find);
    void load(const std::string& path);
    void setReading(Reading shown);
    bool loadDocument(const std::string& path);
    void showDocumentText();
    void showSizeInTitle();
    void LoadUcodeWhole(const std::string& path);
    void scrollBarMoved();
    void renderPageAt(std::uint64_t offset);
    // Selects the search field's text in the whole text from the caret on; false only when it is not there
    // (a search ended early is no answer).
    bool SearchMemo();
    void searchHexPage();
    std::int64_t searchFromThePage(const SearchText& text);
    bool heldForSearch(std::function<void()> action);
    void runHeldActions();
    void whileHolding(const std::function<void()>& work);
    void stepTo(Step step);
    Reading reading() const;

    std::string loadedPath_;
    // The search in the file lets events through while it reads. It ends early when the viewer is hidden, and
    // when an action that would draw a page (a load, "TXT - HEX", the reading switch, the scroll bar) comes
    // meanwhile: that action is held back until the search has returned, so no page is drawn under it.
    bool searching_ = false;
    bool searchEnding_ = false;
    std::vector<std::function<void()>> heldActions_;
    ScrollRange range_;
    std::optional<HexMatch> lastMatch_;
    std::unique_ptr<unsigned char[]> PageBuffer;
    std::unique_ptr<std::uint16_t[]> UnitBuffer;
    std::unique_ptr<QObject> applicationHook_;
    // A document's text, read when the file was loaded, and whether the memo shows it ("TXT - HEX" switches
    // between it and the file's own bytes in hex pages), and whether the memo holds all of it.
    std::optional<DocumentView> document_;
    bool documentShown_ = false;
    bool documentFilled_ = false;
    std::unique_ptr<PdfTextSource> pdf_;
};

extern TRF* RF;
