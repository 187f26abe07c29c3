#include "viewer/RF1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "search/FS1.h"

TRF* RF = nullptr;

// SKELETON: controls exist so other windows can be wired to them; the viewer's behaviour is still to come.
TRF::TRF(const QStringList& arguments, QWidget* parent) : QWidget(parent) {
    BitBtn2 = new QToolButton(this);
    BitBtn3 = new QToolButton(this);
    Button5 = new QPushButton(QStringLiteral("TXT - HEX"), this);
    Label4 = new QLabel(QStringLiteral("UCODE  DOS"), this);
    BitBtn1 = new QToolButton(this);
    Label3 = new QLabel(QStringLiteral("WIN"), this);
    Button3 = new QPushButton(QStringLiteral("Искать >"), this);
    Edit1 = new QLineEdit(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    ScrollBar1 = new QScrollBar(Qt::Vertical, this);
    FormCreate(arguments);
}

TRF::~TRF() = default;

void TRF::FormCreate(const QStringList&) {}
void TRF::LoadFile() {}
void TRF::SetupPaging() {}
void TRF::ScrollBar1Change() {}
void TRF::Button5Click() {}
void TRF::BitBtn1Click() {}
void TRF::BitBtn2Click() { hide(); }
void TRF::BitBtn3Click() {}
void TRF::Button3Click() {}
void TRF::SearchCommand() {}
