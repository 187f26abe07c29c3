#include "about/about.h"

#include <sys/stat.h>

#include <QLabel>
#include <QPushButton>

#include "about/HelpWindow.h"
#include "about/LinkLabel.h"
#include "icons/Icons.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "platform/Messages.h"
#include "platform/desktop/Shell.h"
#include "platform/files/ProgramFolder.h"

TAboutBox* AboutBox = nullptr;

const char* const kFirstSiteAddress = "https://help.varnel.example/";
const char* const kSecondSiteAddress = "https://varnel.example/";

namespace {

const QString kHelpMissing = QStringLiteral("Файл help.chm не найден.");

QLabel* label(QWidget* parent, const QString& text, QRect where, const QFont& font) {
    auto* created = new QLabel(text, parent);
    created->setGeometry(where);
    created->setFont(font);
    return created;
}

// A label that grows to its text from its place, as the box's unframed captions do.
QLabel* growing(QWidget* parent, const QString& text, QRect where, const QFont& font) {
    QLabel* created = label(parent, text, where, font);
    created->adjustSize();
    return created;
}

QLabel* centredWrapped(QWidget* parent, const QString& text, QRect where, const QFont& font) {
    QLabel* created = label(parent, text, where, font);
    created->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    created->setWordWrap(true);
    return created;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void showHelpMissing() {
    Messages::current().information(kHelpMissing);
}

// The address shown on a link: the page without its scheme and closing "/".
QString shownAddress(const char* address) {
    QString shown = QString::fromUtf8(address);
    shown.remove(QStringLiteral("https://"));
    if (shown.endsWith(QLatin1Char('/'))) {
        shown.chop(1);
    }
    return shown;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("  О программе"));
    setWindowIcon(applicationIcon());
    setFont(makeFont(Face::MsSansSerif, 11));
    resize(406, 283);
    move(323, 193);
    setModal(true);
    createControls();
}

void TAboutBox::createControls() {
    Image1 = new QLabel(this);
    Image1->setGeometry(16, 16, 41, 41);
    Image1->setPixmap(applicationIcon().pixmap(32, 32));
    Image1->setScaledContents(true);
    Label1 = growing(this, QStringLiteral("Varnel - искалка  файлов"), {80, 16, 216, 22},
                     makeFont(Face::Arial, 19));
    Label2 =
        growing(this, QStringLiteral("Version  1.0"), {144, 48, 69, 16}, makeFont(Face::MsSansSerif, 13));
    Label3 = centredWrapped(this, QStringLiteral("Простая программа для удобного поиска файлов и папок."),
                            {88, 88, 233, 49}, makeFont(Face::Arial, 13, Bold));
    Shape1 = new QFrame(this);
    Shape1->setGeometry(16, 145, 353, 1);
    Shape1->setAutoFillBackground(true);
    QPalette rule = Shape1->palette();
    rule.setColor(QPalette::Window, Qt::gray);
    Shape1->setPalette(rule);
    Label4 = centredWrapped(
        this, QStringLiteral("Ищет файлы по маске и тексту,\nпоказывает текст, hex\nи картинки."),
        {16, 160, 233, 49}, makeFont(Face::MsSansSerif, 12));
    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setGeometry(272, 168, 97, 25);
    Label6 =
        label(this, QStringLiteral("Сайты автора программы:"), {24, 216, 161, 17}, makeFont(Face::Arial, 13));
    const QFont link = makeFont(Face::MsSansSerif, 13, Bold | Underline);
    Label7 = new LinkLabel(shownAddress(kFirstSiteAddress), this);
    Label7->setGeometry(208, 208, 153, 17);
    Label7->setFont(link);
    Label8 = new LinkLabel(shownAddress(kSecondSiteAddress), this);
    Label8->setGeometry(208, 224, 129, 17);
    Label8->setFont(link);
    Label5 = growing(this, QStringLiteral("Свободная программа, без гарантий."), {16, 248, 239, 13},
                     makeFont(Face::MsSansSerif, 12));
    Button2 = new QPushButton(QStringLiteral("Помощь"), this);
    Button2->setGeometry(320, 16, 75, 25);

    setTabOrder(Button1, Button2);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, guardedSlot(this, &TAboutBox::Button1Click));
    connect(Button2, &QPushButton::clicked, this, guardedSlot(this, &TAboutBox::Button2Click));
    connect(Label7, &LinkLabel::clicked, this, guardedSlot(this, &TAboutBox::Label7Click));
    connect(Label8, &LinkLabel::clicked, this, guardedSlot(this, &TAboutBox::Label8Click));
}

void TAboutBox::Button1Click() {
    close();
}

// A help file that is not there is told at once. Few desktops have a program for help.chm, so when the opener
// fails on a file that is there, the same pages are shown in a window of the program's own.
void TAboutBox::Button2Click() {
    const std::string help = programFolder() + "help.chm";
    if (!isRegularFile(help)) {
        showHelpMissing();
        return;
    }
    Shell::current().openWithDefault(help, [this, help](bool ok) {
        if (ok) {
            return;
        }
        if (!isRegularFile(help)) {
            showHelpMissing();
            return;
        }
        if (ownHelp_ == nullptr) {
            ownHelp_ = new HelpWindow(this);
        }
        ownHelp_->open();
    });
}

void TAboutBox::Label7Click() {
    Shell::current().openWithDefault(kFirstSiteAddress, [](bool) {});
}

void TAboutBox::Label8Click() {
    Shell::current().openWithDefault(kSecondSiteAddress, [](bool) {});
}
