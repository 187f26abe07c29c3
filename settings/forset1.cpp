#include "settings/forset1.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "icons/Icons.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "search/FS1.h"
#include "settings/ProgramDialog.h"

TSet1* Set1 = nullptr;

namespace {

std::size_t slot(ViewerRow row) {
    return row == ViewerRow::Text ? 0 : 1;
}

template <typename Widget>
Widget* place(QWidget* parent, QRect where, const QString& text, const QFont& font) {
    auto* widget = new Widget(text, parent);
    widget->setGeometry(where);
    widget->setFont(font);
    return widget;
}

// No button of the window is a default button: Enter in a field closes nothing.
QPushButton* button(QWidget* parent, QRect where, const QString& text, const QFont& font) {
    auto* created = place<QPushButton>(parent, where, text, font);
    created->setAutoDefault(false);
    return created;
}

}  // namespace

TSet1::TSet1(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" Выбери , что нравится."));
    setWindowIcon(applicationIcon());
    setFont(makeFont(Face::MsSansSerif, 11));
    resize(637, 92);  // the client area of the 645 x 119 window
    move(237, 366);
    setModal(true);
    createControls();
}

void TSet1::createControls() {
    StaticText1 = place<QLabel>(this, {8, 0, 209, 27}, QStringLiteral("Внешние смотрелки"),
                                makeFont(Face::Arial, 19, Bold | Italic));
    QPalette navy = StaticText1->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    StaticText1->setPalette(navy);
    const QFont large = makeFont(Face::Arial, 16, Bold);
    CheckBox1 = place<QCheckBox>(this, {8, 32, 129, 17}, QStringLiteral(" Для текстов:"), large);
    Button1 = button(this, {144, 32, 49, 22}, QStringLiteral("* * *"), large);
    Edit1 = place<QLineEdit>(this, {208, 32, 417, 21}, QString(), font());
    CheckBox2 = place<QCheckBox>(this, {8, 64, 129, 17}, QStringLiteral("Для графики:"), large);
    Button2 = button(this, {144, 64, 49, 22}, QStringLiteral("* * *"), makeFont(Face::Arial, 13, Bold));
    Edit2 = place<QLineEdit>(this, {208, 64, 417, 21}, QString(), font());
    Button3 = button(this, {533, 5, 91, 22}, QStringLiteral("Вернуться"), makeFont(Face::Arial, 13, Bold));

    const QList<QWidget*> order = {CheckBox1, CheckBox2, Edit1, Edit2, Button1, Button2, Button3};
    for (int i = 0; i + 1 < order.size(); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }
    CheckBox1->setFocus();

    connect(Button1, &QPushButton::clicked, this, guardedSlot(this, &TSet1::Button1Click));
    connect(Button2, &QPushButton::clicked, this, guardedSlot(this, &TSet1::Button2Click));
    connect(Button3, &QPushButton::clicked, this, guardedSlot(this, &TSet1::Button3Click));
}

QCheckBox* TSet1::checkBox(ViewerRow row) const {
    return row == ViewerRow::Text ? CheckBox1 : CheckBox2;
}

QLineEdit* TSet1::edit(ViewerRow row) const {
    return row == ViewerRow::Text ? Edit1 : Edit2;
}

bool TSet1::viewerOn(ViewerRow row) const {
    return checkBox(row)->isChecked();
}

std::string TSet1::viewerPath(ViewerRow row) const {
    return given_[slot(row)].bytesFor(edit(row)->text());
}

void TSet1::setViewerPath(ViewerRow row, const std::string& path) {
    edit(row)->setText(given_[slot(row)].keep(path));
}

void TSet1::loadViewer(ViewerRow row, const std::string& path) {
    setViewerPath(row, path);
    checkBox(row)->setChecked(true);
}

void TSet1::updateIndicator() {
    FILESCH->CheckBox4->setChecked(CheckBox1->isChecked() || CheckBox2->isChecked());
}

void TSet1::chooseProgram(ViewerRow row) {
    if (const std::optional<std::string> chosen = ProgramDialog::current().choose(this)) {
        setViewerPath(row, *chosen);
    }
}

void TSet1::Button1Click() {
    chooseProgram(ViewerRow::Text);
}

void TSet1::Button2Click() {
    chooseProgram(ViewerRow::Graphics);
}

void TSet1::Button3Click() {
    close();
}

void TSet1::done(int result) {
    guarded([this] { updateIndicator(); });
    QDialog::done(result);
}

// The window has no cancel key: Escape leaves it open.
void TSet1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
