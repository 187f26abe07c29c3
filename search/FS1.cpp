#include "search/FS1.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <cstdio>

#include "about/about.h"
#include "chooser/FB1.h"
#include "icons/Icons.h"
#include "picture/Shp1.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/Messages.h"
#include "platform/desktop/Shell.h"
#include "platform/files/CurrentFolder.h"
#include "platform/files/FileSystem.h"
#include "platform/files/LongPath.h"
#include "search/CounterRow.h"
#include "search/SearchForm.h"
#include "search/SearchRun.h"
#include "search/results/ResultActions.h"
#include "search/results/ResultCopy.h"
#include "search/results/ResultList.h"
#include "search/results/ResultsModel.h"
#include "settings/SettingsLocation.h"
#include "settings/forset1.h"
#include "viewer/RF1.h"

TFILESCH* FILESCH = nullptr;
std::string CurrentFilePath;

namespace {

const QColor kNavy(0, 0, 128);
const QString kCloseWithoutSaving = QStringLiteral("\n\nЗакрыть программу без сохранения настроек?");

// The designed places of the controls in the two rows whose counters grow with their numbers.
const QRect kLabel10Place(144, 120, 57, 16);
const QRect kStaticText1Place(208, 120, 72, 23);
const QRect kLabel6Place(283, 120, 60, 17);
const QRect kLabel9Place(144, 152, 49, 16);
const QRect kButton1Place(204, 152, 60, 22);
const QRect kButton4Place(275, 152, 60, 22);

template <typename Widget>
Widget* place(QWidget* parent, int left, int top, int width, int height, const QFont& font) {
    auto* widget = new Widget(parent);
    widget->setGeometry(left, top, width, height);
    widget->setFont(font);
    return widget;
}

template <typename Widget>
Widget* place(QWidget* parent, QRect where, const QFont& font) {
    return place<Widget>(parent, where.x(), where.y(), where.width(), where.height(), font);
}

QLabel* label(QWidget* parent, const QString& text, QRect where, const QFont& font) {
    auto* created = place<QLabel>(parent, where.x(), where.y(), where.width(), where.height(), font);
    created->setText(text);
    return created;
}

QFrame* navyRule(QWidget* parent, QRect where) {
    auto* rule = new QFrame(parent);
    rule->setGeometry(where);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, kNavy);
    rule->setPalette(palette);
    return rule;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QString decimal(std::size_t value) {
    return QString::number(static_cast<qulonglong>(value));
}

// A viewer that is open already comes over the other windows and takes the keyboard, as a window being shown
// does.
void bringToFront(QWidget* window) {
    window->raise();
    window->activateWindow();
}

}  // namespace

// The run's view of the window's controls.
class TFILESCH::Form : public SearchForm {
  public:
    explicit Form(TFILESCH& window) : w_(window) {}

    std::string startFolder() const override { return w_.startFolder(); }
    QString nameText() const override { return w_.Edit2->text(); }
    QString extensionText() const override { return w_.Edit3->text(); }
    QString contentText() const override { return w_.Edit5->text(); }
    bool subfoldersWanted() const override { return w_.CheckBox2->isChecked(); }
    bool contentWanted() const override { return w_.CheckBox1->isChecked(); }
    bool dosEncodingWanted() const override { return w_.CheckBox3->isChecked(); }
    bool stopRequested() const override { return w_.stopFlag_; }
    bool windowClosed() const override { return w_.closed_; }
    void clearStopRequest() override { w_.stopFlag_ = false; }

    void setSearching(bool searching) override {
        w_.searching_ = searching;
        w_.Button2->setEnabled(!searching);
        w_.Button3->setEnabled(searching);
    }
    void showFoldersToSearch(std::size_t count) override { w_.showCount(w_.Label6, count); }
    void showFoldersToSearchNow(std::size_t count) override {
        w_.showCount(w_.Label6, count);
        w_.Label6->repaint();
    }
    void showFoldersSearched(std::size_t count) override { w_.showCount(w_.Label10, count); }
    void showFoundCount(std::size_t count) override { w_.showCount(w_.Label9, count); }
    void showResults(FoundLines lines) override { w_.ListBox1Items->setLines(std::move(lines)); }

  private:
    TFILESCH& w_;
};

TFILESCH::TFILESCH(QWidget* parent) : QWidget(parent), form_(std::make_unique<Form>(*this)) {
    setWindowTitle(QStringLiteral("  Поиск файлов"));
    setWindowIcon(applicationIcon());
    setFont(makeFont(Face::MsSansSerif, 13));
    resize(480, 545);
    move(7, 32);
    createControls();
    setTabOrderAsDesigned();
    Edit1->setFocus();
    CurrentFilePath.clear();
}

TFILESCH::~TFILESCH() = default;

void TFILESCH::createControls() {
    const QFont normal = makeFont(Face::Arial, 13, Bold);
    const QFont large = makeFont(Face::Arial, 16, Bold);

    Label5 = label(this, QStringLiteral("Искать ... "), {8, 4, 97, 23}, makeFont(Face::Arial, 19, Bold));
    setTextColour(Label5, QPalette::WindowText, kNavy);
    CheckBox2 = place<QCheckBox>(this, 104, 7, 145, 17, normal);
    CheckBox2->setText(QStringLiteral("C подкаталогами "));
    Label11 = label(this, QStringLiteral("Выбрать папку  >>"), {256, 8, 129, 16}, normal);
    SpeedButton2 = place<QToolButton>(this, 392, 6, 40, 20, normal);
    SpeedButton2->setAutoRaise(true);
    SpeedButton2->setIcon(folderPicture());
    SpeedButton2->setFocusPolicy(Qt::NoFocus);
    Button5 = place<QPushButton>(this, 445, 6, 27, 20, normal);
    Button5->setText(QStringLiteral("Inf"));
    Label2 =
        label(this, QStringLiteral("В папке:"), {10, 30, 71, 17}, makeFont(Face::Arial, 16, Bold | Italic));
    Edit1 = place<QLineEdit>(this, 104, 29, 369, 24, normal);
    Edit1->setText(QStringLiteral("/"));
    Shape2 = navyRule(this, {8, 58, 465, 2});

    Label1 = label(this, QStringLiteral("По имени "), {8, 62, 81, 17}, normal);
    Label7 = label(this, QStringLiteral("С расширением"), {136, 62, 105, 16}, normal);
    CheckBox1 = place<QCheckBox>(this, 248, 62, 89, 16, normal);
    CheckBox1->setText(QStringLiteral("С текстом"));
    CheckBox3 = place<QCheckBox>(this, 344, 62, 49, 16, normal);
    CheckBox3->setText(QStringLiteral("DOS"));
    Edit2 = place<QLineEdit>(this, 8, 81, 113, 27, large);
    Edit2->setText(QStringLiteral("*"));
    Edit2->installEventFilter(this);
    Label8 = label(this, QStringLiteral("."), {128, 80, 11, 25}, makeFont(Face::Arial, 27, Bold));
    Edit3 = place<QLineEdit>(this, 144, 81, 49, 24, normal);
    Edit3->setText(QStringLiteral("*"));
    Edit5 = place<QLineEdit>(this, 248, 81, 225, 24, font());
    Shape1 = navyRule(this, {8, 110, 465, 2});

    Button2 = place<QPushButton>(this, 8, 118, 60, 22, normal);
    Button2->setText(QStringLiteral("Старт"));
    Label3 = label(this, QStringLiteral("Ищем в: "), {80, 120, 73, 17}, normal);
    Label10 = label(this, QStringLiteral("0"), kLabel10Place, large);
    StaticText1 = label(this, QStringLiteral("папке из"), kStaticText1Place, large);
    Label6 = label(this, QStringLiteral("1"), kLabel6Place, large);
    CheckBox4 = place<QCheckBox>(this, 350, 120, 17, 17, normal);
    // It only shows whether an external viewer is on; nothing reads it, so it takes no clicks.
    CheckBox4->setAttribute(Qt::WA_TransparentForMouseEvents);
    CheckBox4->setFocusPolicy(Qt::NoFocus);
    Button6 = place<QPushButton>(this, 368, 117, 105, 22, makeFont(Face::Arial, 11, Bold));
    Button6->setText(QStringLiteral("Другой просмотр"));
    setTextColour(Button6, QPalette::ButtonText, Qt::red);
    Shape3 = navyRule(this, {7, 144, 465, 2});

    Button3 = place<QPushButton>(this, 8, 150, 60, 22, normal);
    Button3->setText(QStringLiteral("Стоп"));
    Label4 = label(this, QStringLiteral("Найдено:"), {80, 153, 65, 16}, normal);
    Label9 = label(this, QStringLiteral("0"), kLabel9Place, large);
    Button1 = place<QPushButton>(this, kButton1Place, makeFont(Face::Arial, 12, Bold));
    Button1->setText(QStringLiteral("Открыть"));
    Button4 = place<QPushButton>(this, kButton4Place, normal);
    Button4->setText(QStringLiteral("Перейти"));
    Button7 = place<QPushButton>(this, 368, 152, 60, 22, makeFont(Face::Arial, 12, Bold));
    Button7->setText(QStringLiteral("Смотреть"));
    SpeedButton1 = place<QToolButton>(this, 441, 152, 30, 21, normal);
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(viewerPicture());
    SpeedButton1->setFocusPolicy(Qt::NoFocus);

    ListBox1 = place<ResultList>(this, 8, 180, 463, 360, font());
    ListBox1Items = new ResultsModel(ListBox1);
    ListBox1->setModel(ListBox1Items);
    // Every row is one line of the same font: the view takes one row's size for all and lays out a long list
    // in slices between events, so handing over hundreds of thousands of lines does not hold the window.
    ListBox1->setUniformItemSizes(true);
    ListBox1->setLayoutMode(QListView::Batched);
    ListBox1->setBatchSize(20000);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBox1->setDragData([this] { return selectedResultData(); });
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    ListBox1->installEventFilter(this);

    connect(Button2, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button2Click));
    connect(Button3, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button3Click));
    connect(SpeedButton2, &QToolButton::clicked, this, guardedSlot(this, &TFILESCH::SpeedButton2Click));
    connect(Button5, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button5Click));
    connect(ListBox1, &QListView::doubleClicked, this, guardedSlot(this, &TFILESCH::ListBox1DblClick));
    connect(Button7, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button7Click));
    connect(Button1, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button1Click));
    connect(Button4, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button4Click));
    connect(SpeedButton1, &QToolButton::clicked, this, guardedSlot(this, &TFILESCH::SpeedButton1Click));
    connect(Button6, &QPushButton::clicked, this, guardedSlot(this, &TFILESCH::Button6Click));
    connect(ListBox1, &QListView::customContextMenuRequested, this,
            guardedSlot(this, &TFILESCH::ListBox1ContextMenu));
}

void TFILESCH::setTabOrderAsDesigned() {
    const QList<QWidget*> order = {Edit1,     Button2,   Edit2,   Button3,  Edit3,   CheckBox1,
                                   ListBox1,  CheckBox2, Edit5,   Button4,  Button5, Button1,
                                   CheckBox3, Button6,   Button7, CheckBox4};
    for (int i = 0; i + 1 < order.size(); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
}

void TFILESCH::Button2Click() {
    if (searching_) {
        return;
    }
    const std::string typed = startFolder();  // what the run reads at its start, before any event is handled
    lastRunFrom_ = currentFolder();
    SearchRun run(*form_, FileSystem::current());
    const RunEnd end = run.run();
    if (end == RunEnd::Normal || end == RunEnd::Stopped) {
        lastRunFolder_ = reachedFrom(lastRunFrom_, systemPath(runStartFolder(typed).value_or(std::string())));
    }
}

const FoundLines& TFILESCH::foundList() const {
    return ListBox1Items->lines();
}

void TFILESCH::setStartFolder(const std::string& folder) {
    Edit1->setText(chosenFolder_.keep(folder));
}

std::string TFILESCH::startFolder() const {
    return chosenFolder_.bytesFor(Edit1->text());
}

void TFILESCH::Button3Click() {
    stopFlag_ = true;
}

void TFILESCH::SpeedButton2Click() {
    FB->show();
    FB->raise();
    FB->activateWindow();
}

void TFILESCH::Button5Click() {
    AboutBox->exec();
}

std::optional<int> TFILESCH::selectedRow() const {
    const QModelIndexList selected = ListBox1->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return std::nullopt;
    }
    return selected.constFirst().row();
}

std::optional<std::string> TFILESCH::selectedPath() const {
    const std::optional<int> row = selectedRow();
    if (!row) {
        return std::nullopt;
    }
    return resultPath(lastRunFrom_, ListBox1Items->line(*row));
}

std::unique_ptr<QMimeData> TFILESCH::selectedResultData() const {
    const std::optional<int> row = selectedRow();
    if (!row) {
        return nullptr;
    }
    return resultMimeData(ListBox1Items->data(ListBox1Items->index(*row), Qt::DisplayRole).toString(),
                          resultPath(lastRunFrom_, ListBox1Items->line(*row)));
}

void TFILESCH::copySelectedPath() {
    if (std::unique_ptr<QMimeData> data = selectedResultData()) {
        QGuiApplication::clipboard()->setMimeData(data.release());
    }
}

// A run started meanwhile replaces the list: the copy is then given up.
void TFILESCH::copyAllResults() {
    QObject watch;  // disconnects when the copy ends, however it ends
    bool replaced = false;
    connect(ListBox1Items, &QAbstractItemModel::modelAboutToBeReset, &watch,
            [&replaced] { replaced = true; });
    if (const std::optional<QString> text = allLinesText(*ListBox1Items, [&replaced] { return replaced; })) {
        QGuiApplication::clipboard()->setText(*text);
    }
}

std::unique_ptr<QMenu> TFILESCH::resultMenuAt(const QPoint& pos) {
    const QModelIndex index = ListBox1->indexAt(pos);
    if (searching_ || !index.isValid()) {
        return nullptr;
    }
    ListBox1->setCurrentIndex(index);
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction(QStringLiteral("Смотреть")), &QAction::triggered, Button7, &QPushButton::click);
    connect(menu->addAction(QStringLiteral("Открыть")), &QAction::triggered, Button1, &QPushButton::click);
    connect(menu->addAction(QStringLiteral("Перейти")), &QAction::triggered, Button4, &QPushButton::click);
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Копировать путь")), &QAction::triggered, this,
            guardedSlot(this, &TFILESCH::copySelectedPath));
    connect(menu->addAction(QStringLiteral("Копировать все результаты")), &QAction::triggered, this,
            guardedSlot(this, &TFILESCH::copyAllResults));
    return menu;
}

void TFILESCH::ListBox1ContextMenu(const QPoint& pos) {
    if (const std::unique_ptr<QMenu> menu = resultMenuAt(pos)) {
        menu->exec(ListBox1->viewport()->mapToGlobal(pos));
    }
}

void TFILESCH::ListBox1DblClick() {
    viewSelected();
}

void TFILESCH::Button7Click() {
    viewSelected();
}

// A folder only gets a message; a file goes to the external viewer of its side when that is switched on,
// else to the built-in one.
void TFILESCH::viewSelected() {
    const std::optional<std::string> path = selectedPath();
    if (!path) {
        return;
    }
    CurrentFilePath = *path;
    const ViewSide side = viewSideOf(*path);
    if (side == ViewSide::Folder) {
        Messages::current().information(folderViewMessage(*path));
        return;
    }
    lastViewerWasPicture_ = side == ViewSide::Picture;
    const ViewerRow row = lastViewerWasPicture_ ? ViewerRow::Graphics : ViewerRow::Text;
    if (Set1->viewerOn(row)) {
        Shell::current().startProgram(viewerProgram(row), *path);
    } else if (lastViewerWasPicture_) {
        viewPicture();
    } else {
        viewText();
    }
}

// A bare name is looked up in PATH; a relative path is reached from the last run's start folder, as it was
// while that folder stayed current (before the first run, from the folder current at start-up). The viewer
// itself starts in its file's folder, so it is given the program's absolute path.
std::string TFILESCH::viewerProgram(ViewerRow row) const {
    const std::string program = Set1->viewerPath(row);
    if (program.find('/') == std::string::npos) {
        return program;
    }
    return reachedFrom(lastRunFolder_.empty() ? currentFolder() : lastRunFolder_, program);
}

// An open picture viewer comes to the front and loads in place; a hidden one loads as it is shown.
void TFILESCH::viewPicture() {
    if (SHPIC->isVisible()) {
        bringToFront(SHPIC);
        SHPIC->LoadPicture();
        return;
    }
    SHPIC->show();
    RF->hide();
}

// With "С текстом" ticked the viewer gets the text to find, and opens the file in the reading that shows it.
void TFILESCH::viewText() {
    if (RF->isVisible()) {
        bringToFront(RF);
    } else {
        RF->show();
        SHPIC->hide();
    }
    if (CheckBox1->isChecked()) {
        RF->LoadFileFinding({Edit5->text(), CheckBox3->isChecked()});
    } else {
        RF->LoadFile();
    }
}

void TFILESCH::Button1Click() {
    const std::optional<std::string> path = selectedPath();
    if (!path) {
        return;
    }
    if (isFolder(*path)) {
        Messages::current().information(kFolderChosenMessage);
        return;
    }
    Shell::current().openWithDefault(*path, [](bool ok) {
        if (!ok) {
            Messages::current().information(kCannotOpenMessage);
        }
    });
}

void TFILESCH::Button4Click() {
    if (const std::optional<std::string> path = selectedPath()) {
        Shell::current().reveal(*path, [](bool shown) {
            if (!shown) {
                Messages::current().information(kCannotOpenMessage);
            }
        });
    }
}

// Shows or hides the built-in viewer View used last; the other one is hidden either way.
void TFILESCH::SpeedButton1Click() {
    QWidget* const last = lastViewerWasPicture_ ? static_cast<QWidget*>(SHPIC) : RF;
    QWidget* const other = lastViewerWasPicture_ ? static_cast<QWidget*>(RF) : SHPIC;
    last->setVisible(!last->isVisible());
    other->hide();
}

void TFILESCH::Button6Click() {
    Set1->exec();
}

void TFILESCH::FormShow() {
    loadViewerPaths(settingsFilePath(),
                    [](ViewerRow row, const std::string& path) { Set1->loadViewer(row, path); });
    Set1->updateIndicator();
}

void TFILESCH::FormClose() {
    saveViewerPaths(settingsFilePath(), Set1->viewerPath(ViewerRow::Text),
                    Set1->viewerPath(ViewerRow::Graphics));
}

// Enter in the name field, with any modifiers, starts a run unless one is in progress. In the result list,
// Enter views the selected line as a double-click does, and the copy keys copy it.
bool TFILESCH::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Edit2 || watched == ListBox1) && event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const bool enter = keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter;
        if (enter && watched == Edit2) {
            guarded([this] { Button2Click(); });
            return true;
        }
        if (enter) {
            guarded([this] { ListBox1DblClick(); });
            return true;
        }
        if (watched == ListBox1 && keyEvent->matches(QKeySequence::Copy)) {
            guarded([this] { copySelectedPath(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Esc, which the controls leave to the window, presses "Стоп" during a run.
void TFILESCH::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && searching_) {
        Button3->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFILESCH::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded([this] { ListBox1->setGeometry(8, 180, width() - 17, height() - 185); });
}

// A counter shows its whole number: the rows are laid out again when its number of digits changes.
void TFILESCH::showCount(QLabel* counter, std::size_t count) {
    const QString text = decimal(count);
    const bool otherLength = text.size() != counter->text().size();
    counter->setText(text);
    if (otherLength) {
        layOutCounterRows();
    }
}

void TFILESCH::layOutCounterRows() {
    flowRow({{Label10, kLabel10Place, true}, {StaticText1, kStaticText1Place}, {Label6, kLabel6Place, true}});
    flowRow({{Label9, kLabel9Place, true}, {Button1, kButton1Place}, {Button4, kButton4Place}});
}

// The settings are loaded once, when the window first appears; a window restored from an icon loads nothing.
void TFILESCH::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !settingsLoaded_) {
        settingsLoaded_ = true;
        guarded([this] { FormShow(); });
    }
}

// Closing saves the settings and ends the program; a run in progress stops at its next entry and ends without
// its message, and the end of the program hides the other windows, which ends a search in the file viewer. A
// save that fails asks whether to close without it, so a cause the user cannot mend (a folder they may not
// write) never keeps the program from closing. Once the program is ending (the save done or given up, or a
// request from outside), the close that the toolkit's quit sends every window is let through at once, so
// nothing is asked twice and nothing holds the end.
void TFILESCH::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    event->ignore();
    guarded([&] {
        if (settingsSavedOrGivenUp()) {
            event->accept();
            end();
        }
    });
}

// A request to end from outside the window (the session ending, Ctrl+C in a terminal) saves what it can and
// ends without asking, since nobody may be there to answer.
void TFILESCH::endOnRequest() {
    try {
        FormClose();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
    }
    end();
}

bool TFILESCH::settingsSavedOrGivenUp() {
    try {
        FormClose();
        return true;
    } catch (const std::exception& failure) {
        return Messages::current().question(QString::fromUtf8(failure.what()) + kCloseWithoutSaving);
    }
}

void TFILESCH::end() {
    stopFlag_ = true;
    closed_ = true;
    QCoreApplication::quit();
}
