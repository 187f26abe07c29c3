#include "viewer/RF1.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

#include "documents/pdf/PdfHelperPool.h"
#include "icons/Icons.h"
#include "matching/ContentMatch.h"
#include "platform/CommandLine.h"
#include "platform/EventPump.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/Messages.h"
#include "platform/files/FileError.h"
#include "platform/text/ShownName.h"
#include "search/FS1.h"
#include "viewer/find/MemoSearch.h"
#include "viewer/paging/PageReader.h"
#include "viewer/render/HexPage.h"
#include "viewer/render/TextPage.h"
#include "viewer/render/Ucode.h"

TRF* RF = nullptr;

namespace {

const QString kSearchCaption = QStringLiteral("Поиск в файле");
// Follows the search text: directly in the whole text, after a space in the hex page.
const QString kNotFound = QStringLiteral("- не найдено");
// Which of the two a document's window holds.
const QString kDocumentTextTitle = QStringLiteral(" - текст документа");
const QString kDocumentBytesTitle = QStringLiteral(" - байты файла");
// The memo keeps these distances to the window's right and bottom edges; the scroll bar stands beside it.
constexpr int kMemoRightMargin = 28;
constexpr int kMemoBottomMargin = 73;

// Forwards the application's events to the viewer's hook.
class ApplicationHook : public QObject {
  public:
    explicit ApplicationHook(TRF& viewer) : viewer_(viewer) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        return guardedAnswer(false, [&] { return viewer_.AppMessage(watched, event); });
    }

  private:
    TRF& viewer_;
};

template <typename Widget>
Widget* place(QWidget* parent, QRect where, const QString& hint) {
    auto* widget = new Widget(parent);
    widget->setGeometry(where);
    widget->setToolTip(hint);
    return widget;
}

QPushButton* pictureButton(QWidget* parent, QRect where, const QString& hint, const QPixmap& picture) {
    auto* button = place<QPushButton>(parent, where, hint);
    button->setIcon(picture);
    button->setIconSize(picture.size());
    return button;
}

void setOwnScrollBars(QPlainTextEdit* memo, Qt::ScrollBarPolicy vertical, Qt::ScrollBarPolicy horizontal) {
    memo->setVerticalScrollBarPolicy(vertical);
    memo->setHorizontalScrollBarPolicy(horizontal);
}

// The list of the other readings keeps its right edge beside the switch and grows to the left when the
// font draws it wider than its place.
void setRightAligned(QLabel* label, const QString& text) {
    const int right = label->geometry().right();
    label->setText(text);
    const int width = std::max(label->width(), label->sizeHint().width());
    const int height = std::max(label->height(), label->sizeHint().height());
    label->setGeometry(right + 1 - width, label->y(), width, height);
}

std::optional<Step> stepOfKey(int key) {
    switch (key) {
        case Qt::Key_Up:
            return Step::Up;
        case Qt::Key_Down:
            return Step::Down;
        case Qt::Key_Home:
            return Step::Home;
        case Qt::Key_End:
            return Step::End;
        case Qt::Key_PageUp:
            return Step::PageUp;
        case Qt::Key_PageDown:
            return Step::PageDown;
        default:
            return std::nullopt;
    }
}

}  // namespace

TRF::TRF(const QStringList& arguments, QWidget* parent)
    : QWidget(parent),
      PageBuffer(new unsigned char[kPageBufferBytes + 2 * kCutCharacterBytes]),
      UnitBuffer(new std::uint16_t[kPageBufferBytes / 2]),
      applicationHook_(std::make_unique<ApplicationHook>(*this)) {
    setWindowTitle(QStringLiteral("  Lumo - просмотр содержимого файлов  V1.2"));
    setWindowIcon(applicationIcon());
    setFont(makeFont(Face::MsSansSerif, 13));
    resize(717, 488);
    move(496, 232);
    createControls();
    Memo1->setFocus();  // the navigation keys work as soon as the window is shown
    LinesPerPage = linesPerPage(Memo1->height());
    FormCreate(arguments);
}

TRF::~TRF() = default;

void TRF::createControls() {
    const QFont arial = makeFont(Face::Arial, 13);
    const QFont arialBold = makeFont(Face::Arial, 13, Bold);

    BitBtn2 = pictureButton(this, {8, 8, 25, 25}, QStringLiteral("Выход - Esc"), exitPicture());
    BitBtn3 =
        pictureButton(this, {40, 8, 25, 25}, QStringLiteral("Завернуть длинные строки"), wrapLinesPicture());
    Button5 = place<QPushButton>(this, {80, 8, 75, 25}, QStringLiteral("Режимы просмотра"));
    Button5->setText(QStringLiteral("TXT - HEX"));
    Button5->setFont(makeFont(Face::MsSansSerif, 13, Bold));
    Label4 = place<QLabel>(this, {168, 16, 73, 13}, QString());
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont readingsFont = makeFont(Face::MsSansSerif, 11);
    readingsFont.setStretch(QFont::Condensed);  // three names fit between "TXT - HEX" and the switch
    Label4->setFont(readingsFont);
    setRightAligned(Label4, captionsOf(Reading::Win).others);
    BitBtn1 =
        pictureButton(this, {248, 8, 33, 26}, QStringLiteral("Переключение кодировки"), readingPicture());
    Label3 = place<QLabel>(this, {288, 14, 57, 17}, QString());
    Label3->setText(QStringLiteral("WIN"));
    Label3->setFont(arialBold);
    Button3 = place<QPushButton>(this, {360, 8, 65, 25}, QStringLiteral("Поиск в файле"));
    Button3->setText(QStringLiteral("Искать >"));
    Button3->setFont(arialBold);
    Edit1 = place<QLineEdit>(this, {432, 8, 145, 24}, QStringLiteral("Введи текст для поиска"));
    Edit1->setFont(arial);
    Memo1 = place<QPlainTextEdit>(this, {8, 40, 689, 415}, QString());
    Memo1->setReadOnly(true);
    // Nothing is typed into it, and a document's slices would pile up there.
    Memo1->setUndoRedoEnabled(false);
    Memo1->setFont(makeFont(Face::Fixedsys, 13));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setOwnScrollBars(Memo1, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff);
    Memo1->installEventFilter(this);
    ScrollBar1 = place<QScrollBar>(this, {684, 40, 16, 415}, QString());
    ScrollBar1->setOrientation(Qt::Vertical);
    ScrollBar1->setRange(0, 100);
    ScrollBar1->setSingleStep(1);

    connect(BitBtn2, &QAbstractButton::clicked, this, guardedSlot(this, &TRF::BitBtn2Click));
    connect(BitBtn3, &QAbstractButton::clicked, this, guardedSlot(this, &TRF::BitBtn3Click));
    connect(Button5, &QAbstractButton::clicked, this, guardedSlot(this, &TRF::Button5Click));
    connect(BitBtn1, &QAbstractButton::clicked, this, guardedSlot(this, &TRF::BitBtn1Click));
    connect(Button3, &QAbstractButton::clicked, this, guardedSlot(this, &TRF::Button3Click));
    connect(Edit1, &QLineEdit::returnPressed, this, guardedSlot(this, &TRF::SearchCommand));
    connect(ScrollBar1, &QScrollBar::valueChanged, this, guardedSlot(this, &TRF::scrollBarMoved));
}

// A file named on the command line is loaded at once; with a text to find, once the windows are up and events
// run, as it is searched for the text first, which may take long. The window stays hidden until the search
// window shows it. A file that cannot be read is reported, and the other windows are still created.
void TRF::FormCreate(const QStringList& arguments) {
    CurrentFilePath.clear();
    TextPageMode = false;
    WholeTextMode = false;
    if (arguments.isEmpty()) {
        return;
    }
    CurrentFilePath = argumentBytes(arguments, 0);
    if (arguments.size() != 2) {
        guarded([this] { LoadFile(); });
        return;
    }
    Edit1->setText(arguments.at(1));
    QTimer::singleShot(0, this, [this, path = CurrentFilePath, find = TextToFind{arguments.at(1)}] {
        guarded([&] { open(path, find); });
    });
}

Reading TRF::reading() const {
    return readingOf(Label3->text());
}

// The load works on its own copy of the path: a document's read lets events through, and they may name
// another current file meanwhile.
void TRF::LoadFile() {
    open(CurrentFilePath, std::nullopt);
}

void TRF::LoadFileFinding(const TextToFind& find) {
    open(CurrentFilePath, find);
}

// The reading is chosen while events are let through, as a search in the file: what would draw a page
// meanwhile waits until the file is loaded, and ends the choice, as hiding the viewer does; the file then
// opens in the reading on display. A file that cannot be read is reported by the load.
void TRF::open(std::string path, const std::optional<TextToFind>& find) {
    if (heldForSearch([this, path, find] { open(path, find); })) {
        return;
    }
    if (find) {
        Edit1->setText(find->text);
    }
    const auto afterLoad = qScopeGuard([this] { runHeldActions(); });
    std::optional<Reading> chosen;
    if (!path.empty()) {
        searching_ = true;
        searchEnding_ = false;
        const auto done = qScopeGuard([this] { searching_ = false; });
        try {
            chosen = openingReading(path, find, reading(), [this] { return !searchEnding_; });
        } catch (const FileError&) {
            // the load below reports it
        }
    }
    if (chosen) {
        setReading(*chosen);
    }
    load(path);
}

void TRF::setReading(Reading shown) {
    const ReadingCaptions captions = captionsOf(shown);
    Label3->setText(captions.reading);
    setRightAligned(Label4, captions.others);
}

void TRF::load(const std::string& path) {
    if (heldForSearch([this, path] { load(path); })) {
        return;
    }
    TextPageMode = false;
    LinesPerPage = linesPerPage(Memo1->height());
    loadedPath_ = path;
    lastMatch_.reset();
    document_.reset();
    if (path.empty()) {
        return;
    }
    LoadedFileSize = static_cast<std::int64_t>(QueryFileSize(path));
    showSizeInTitle();
    if (loadDocument(path)) {
        return;
    }
    if (static_cast<std::uint64_t>(LoadedFileSize) >= kWholeTextLimit) {
        WholeTextMode = false;
        SetupPaging();
        {
            const QSignalBlocker quiet(ScrollBar1);
            ScrollBar1->setValue(0);
        }
        ScrollBar1Change();
        return;
    }
    WholeTextMode = true;
    TextPageMode = true;
    ScrollBar1->hide();
    setOwnScrollBars(Memo1, Qt::ScrollBarAsNeeded, Qt::ScrollBarAsNeeded);
    Memo1->clear();
    if (reading() == Reading::Ucode) {
        LoadUcodeWhole(path);
        return;
    }
    const std::size_t count =
        readViewedBytes(path, 0, static_cast<std::size_t>(LoadedFileSize), PageBuffer.get());
    Memo1->setPlainText(
        textForMemo(TextDisplay::Whole, {PageBuffer.get(), count}, UnitBuffer.get(), reading()));
}

void TRF::showSizeInTitle() {
    const QString holds = !document_ ? QString() : documentShown_ ? kDocumentTextTitle : kDocumentBytesTitle;
    setWindowTitle(QStringLiteral(" Просмотр файла - ") + shownName(loadedPath_) +
                   QStringLiteral(" - Размер : ") + QString::number(LoadedFileSize) + holds);
}

// A document is shown as its text, read while the window goes on: Esc or another file ends the read, and the
// file is then not shown (the other file is). A document whose text cannot be read is shown as any file.
bool TRF::loadDocument(const std::string& path) {
    if (!mayBeDocumentFile(path)) {
        return false;
    }
    if (!pdf_) {
        pdf_ = makePdfTextSource(1);
    }
    Memo1->clear();
    std::optional<DocumentView> view;
    bool ended = false;
    whileHolding([&] {
        view = readDocumentWhileWaiting(path, pdf_.get(), [this] {
            pumpEvents();
            return !searchEnding_;
        });
        ended = searchEnding_;
    });
    if (ended || !view) {
        return ended;
    }
    document_ = std::move(view);
    showDocumentText();
    return true;
}

// The text goes into the memo a slice at a time with events let through between slices, so the window
// answers while a book-length document fills it. What ends a search in the file (Esc, another file, "TXT -
// HEX", the reading switch) ends the filling too; the text is then filled anew when it is shown again.
void TRF::showDocumentText() {
    documentShown_ = true;
    WholeTextMode = true;
    TextPageMode = true;
    showSizeInTitle();
    ScrollBar1->hide();
    setOwnScrollBars(Memo1, Qt::ScrollBarAsNeeded, Qt::ScrollBarAsNeeded);
    const QString& text = document_->memoText();
    whileHolding([&] {
        // The first slice sets the memo's caret at the text's start; the others go in after it.
        qsizetype from = memoSliceEnd(text, 0);
        Memo1->setPlainText(text.left(from));
        QTextCursor end(Memo1->document());
        while (from < text.size() && !searchEnding_) {
            pumpEvents();
            const qsizetype to = memoSliceEnd(text, from);
            end.movePosition(QTextCursor::End);
            end.insertText(text.mid(from, to - from));
            from = to;
        }
        documentFilled_ = from == text.size();
    });
}

void TRF::LoadUcodeWhole(const std::string& path) {
    if (path.empty()) {
        return;
    }
    const std::size_t wanted =
        std::min<std::size_t>(static_cast<std::size_t>(LoadedFileSize), kPageBufferBytes);
    const std::size_t count = readViewedBytes(path, 0, wanted, PageBuffer.get());
    unitsFromBytes(PageBuffer.get(), count, UnitBuffer.get());
    Memo1->setPlainText(
        textForMemo(TextDisplay::Whole, {PageBuffer.get(), count}, UnitBuffer.get(), Reading::Ucode));
    Memo1->ensureCursorVisible();
    Memo1->setFocus();
}

void TRF::SetupPaging() {
    setOwnScrollBars(Memo1, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff);
    ScrollBar1->show();
    range_ = scrollRange(static_cast<std::uint64_t>(LoadedFileSize), LinesPerPage);
    // The callers draw the page once the range is set; a position cut to the new maximum is not drawn twice.
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setMaximum(range_.maximum);
    ScrollBar1->setPageStep(range_.largeChange);
    ScrollBar1->setEnabled(range_.enabled);
}

void TRF::ScrollBar1Change() {
    if (loadedPath_.empty()) {
        return;
    }
    renderPageAt(pageOffsetAt(range_, ScrollBar1->value()));
}

void TRF::scrollBarMoved() {
    if (!heldForSearch([this] { ScrollBar1Change(); })) {
        ScrollBar1Change();
    }
}

// The page is read from the file as it is now: bytes appended since the load are shown, and a file that has
// shrunk shows what is left of the page.
void TRF::renderPageAt(std::uint64_t offset) {
    PageOffset = static_cast<std::int64_t>(offset);
    const std::size_t block =
        static_cast<std::size_t>(LinesPerPage) * (TextPageMode ? kTextBytesPerPageLine : kLineBytes);
    Memo1->clear();
    const PageBytes page = readPageBytes(loadedPath_, offset, block, PageBuffer.get());
    const Reading shown = reading();
    if (!TextPageMode) {
        Memo1->setPlainText(hexPageForDisplay(page, offset, shown));
        return;
    }
    if (shown == Reading::Ucode) {
        unitsFromBytes(page.first, page.count, UnitBuffer.get());
    }
    Memo1->setPlainText(textForMemo(TextDisplay::Page, page, UnitBuffer.get(), shown));
}

void TRF::Button5Click() {
    if (heldForSearch([this] { Button5Click(); })) {
        return;
    }
    if (document_ && !documentShown_) {
        showDocumentText();
        Memo1->setFocus();
        return;
    }
    documentShown_ = false;  // a document's text gives way to the file's bytes in hex pages
    showSizeInTitle();
    SetupPaging();
    Memo1->clear();
    WholeTextMode = false;
    TextPageMode = !TextPageMode;
    Memo1->setFocus();
    ScrollBar1Change();
}

void TRF::BitBtn1Click() {
    if (heldForSearch([this] { BitBtn1Click(); })) {
        return;
    }
    setReading(nextReading(reading()));
    lastMatch_.reset();
    if (document_) {
        if (!documentShown_) {
            ScrollBar1Change();  // a document's text is the same in every reading; its hex page is not
        } else if (!documentFilled_) {
            showDocumentText();
        }
        return;
    }
    if (reading() == Reading::Ucode && static_cast<std::uint64_t>(LoadedFileSize) < kWholeTextLimit) {
        Memo1->clear();
        LoadUcodeWhole(loadedPath_);
        return;
    }
    Memo1->setFocus();
    load(loadedPath_);
}

void TRF::BitBtn2Click() {
    hide();
}

void TRF::BitBtn3Click() {
    if (loadedPath_.empty()) {
        return;
    }
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setOwnScrollBars(Memo1, Qt::ScrollBarAsNeeded, Qt::ScrollBarAlwaysOff);
    Memo1->setFocus();
}

void TRF::Button3Click() {
    if (!loadedPath_.empty()) {
        SearchCommand();
    }
}

// "Искать >" or Enter pressed again while the search runs adds nothing: the running search is the one asked
// for.
void TRF::SearchCommand() {
    if (searching_) {
        return;
    }
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    setOwnScrollBars(Memo1, Qt::ScrollBarAsNeeded, Qt::ScrollBarAsNeeded);
    if (WholeTextMode) {
        if (!SearchMemo()) {
            Messages::current().captionedInformation(kSearchCaption, Edit1->text() + kNotFound);
        }
        return;
    }
    if (TextPageMode) {
        Messages::current().information(QStringLiteral("Файл большой! Включи - HEX "));
        return;
    }
    searchHexPage();
}

bool TRF::SearchMemo() {
    Memo1->setFocus();
    QTextCursor cursor = Memo1->textCursor();
    const QString needle = Edit1->text();
    std::optional<MemoMatch> match;
    if (showsDocumentText()) {
        // A long text is searched while the window goes on; Esc or another action ends the search, and an
        // ended search says nothing.
        bool ended = false;
        whileHolding([&] {
            match = findWhileWaiting(*document_, needle, cursor.selectionEnd(), [this] {
                pumpEvents();
                return !searchEnding_;
            });
            ended = searchEnding_;
        });
        if (ended) {
            return true;
        }
    } else if (const qsizetype found = findWithoutCase(Memo1->toPlainText(), needle, cursor.selectionEnd());
               found >= 0) {
        match = MemoMatch{found, found + needle.size()};
    }
    if (!match) {
        return false;
    }
    cursor.setPosition(static_cast<int>(match->begin));
    cursor.setPosition(static_cast<int>(match->end), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    return true;
}

// The match's line becomes the page's second line and its label is selected. Where the page cannot show
// that line (a one-line page, a step of several lines in a huge file), the page starts at the match's line.
// A match in bytes appended since the load takes the file's size again, so the scroll range reaches it.
void TRF::searchHexPage() {
    const SearchText text(Edit1->text(), {encodingOf(reading())});
    if (!loadedPath_.empty()) {
        requireViewable(loadedPath_);  // with no file loaded, Enter finds nothing
    }
    const std::int64_t found = searchFromThePage(text);
    if (found == kSearchAbandoned) {
        return;
    }
    ScrollBar1->setEnabled(true);
    if (found < 0) {
        Messages::current().captionedInformation(kSearchCaption, text.typed() + QLatin1Char(' ') + kNotFound);
        return;
    }
    if (found >= LoadedFileSize) {
        LoadedFileSize = static_cast<std::int64_t>(QueryFileSize(loadedPath_));
        showSizeInTitle();
        SetupPaging();
    }
    const std::uint64_t line = static_cast<std::uint64_t>(found) / kLineBytes;
    {
        const QSignalBlocker quiet(ScrollBar1);
        ScrollBar1->setValue(positionBefore(range_, line));
    }
    ScrollBar1Change();
    qsizetype at = labelPosition(Memo1->toPlainText(), line * kLineBytes);
    if (at < 0) {
        renderPageAt(line * kLineBytes);
        at = labelPosition(Memo1->toPlainText(), line * kLineBytes);
    }
    if (at < 0) {
        return;  // the file lost the match's line since the search read it
    }
    QTextCursor cursor = Memo1->textCursor();
    cursor.setPosition(static_cast<int>(at));
    cursor.setPosition(static_cast<int>(at) + static_cast<int>(offsetLabel(line * kLineBytes).size()),
                       QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
    Memo1->setFocus();
    lastMatch_ = HexMatch{line * kLineBytes, static_cast<std::uint64_t>(PageOffset)};
}

// Runs SearchFile from the page on display; kSearchAbandoned when the search was ended early. The actions
// held back meanwhile run once it has returned, each with its own guard, so one failure does not cost the
// others.
std::int64_t TRF::searchFromThePage(const SearchText& text) {
    std::int64_t found = -1;
    whileHolding([&] {
        found = SearchFile(loadedPath_, text, searchStart(lastMatch_, static_cast<std::uint64_t>(PageOffset)),
                           [this] { return !searchEnding_; });
        found = searchEnding_ ? kSearchAbandoned : found;
    });
    return found;
}

// Runs `work`, which lets events through, as a search: the actions that would draw a page meanwhile are held
// back and run once it has returned.
void TRF::whileHolding(const std::function<void()>& work) {
    searching_ = true;
    searchEnding_ = false;
    const auto done = qScopeGuard([this] {
        searching_ = false;
        runHeldActions();
    });
    work();
}

// True when a search runs: it is asked to end and `action` waits until it has returned.
bool TRF::heldForSearch(std::function<void()> action) {
    if (!searching_) {
        return false;
    }
    searchEnding_ = true;
    heldActions_.push_back(std::move(action));
    return true;
}

void TRF::runHeldActions() {
    for (const std::function<void()>& action : std::exchange(heldActions_, {})) {
        guarded(action);
    }
}

void TRF::stepTo(Step step) {
    ScrollBar1->setValue(positionAfter(step, ScrollBar1->value(), ScrollBar1->maximum(), LinesPerPage));
}

// Esc closes the viewer from any of its controls that leaves the key alone: the memo, the search field (where
// the focus stays while a search runs), the buttons and the scroll bar; closing ends a running search.
void TRF::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    guarded([this] { BitBtn2Click(); });
}

// The navigation keys of the memo. They move the page only in paged display with a file loaded, a page left
// empty by a file that shrank below it included (Home and Up lead back), and are left to the memo as well,
// which moves its caret as usual.
bool TRF::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Memo1 || event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    guarded([&] {
        const std::optional<Step> step = stepOfKey(static_cast<QKeyEvent*>(event)->key());
        if (step && !WholeTextMode && !loadedPath_.empty()) {
            stepTo(*step);
        }
    });
    return false;
}

// A wheel turn over the memo moves exactly one line (whole text) or one step (paged), whatever its distance;
// the memo's own wheel scrolling does not happen. Sideways turns and wheels elsewhere are left alone.
bool TRF::AppMessage(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || (watched != Memo1->viewport() && watched != Memo1)) {
        return false;
    }
    const int distance = static_cast<QWheelEvent*>(event)->angleDelta().y();
    if (distance == 0) {
        return false;
    }
    if (WholeTextMode) {
        Memo1->verticalScrollBar()->triggerAction(distance > 0 ? QAbstractSlider::SliderSingleStepSub
                                                               : QAbstractSlider::SliderSingleStepAdd);
    } else {
        stepTo(distance > 0 ? Step::Up : Step::Down);
    }
    return true;
}

// The memo follows the window's size; the next page drawn uses the new page length, while the scroll range
// stays until the next set-up.
void TRF::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded([this] {
        Memo1->setGeometry(8, 40, width() - kMemoRightMargin, height() - kMemoBottomMargin);
        ScrollBar1->setGeometry(Memo1->width() + 8, 40, 16, Memo1->height());
        LinesPerPage = linesPerPage(Memo1->height());
    });
}

// Esc, the exit button, the window's close box and the program's end all hide the viewer: a search in the
// file ends with it.
void TRF::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    searchEnding_ = searchEnding_ || searching_;
}
