#include "picture/Shp1.h"

#include <QLabel>
#include <QShowEvent>
#include <utility>

#include "icons/Icons.h"
#include "picture/PictureLoader.h"
#include "picture/display/PictureArea.h"
#include "platform/CommandLine.h"
#include "platform/Fonts.h"
#include "platform/HandlerGuard.h"
#include "search/FS1.h"

TSHPIC* SHPIC = nullptr;

TSHPIC::TSHPIC(const QStringList& arguments, QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral(" Просмотр изображений"));
    setWindowIcon(applicationIcon());
    setFont(makeFont(Face::MsSansSerif, 11));
    resize(637, 482);
    move(497, 235);

    Panel1 = new QLabel(QStringLiteral("Загрузка изображения..."), this);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(palette);
    Panel1->setGeometry(0, 0, 636, 480);

    Image1 = new PictureArea(Panel1);
    Image1->setGeometry(8, 8, 617, 464);

    FormCreate(arguments);
}

void TSHPIC::FormCreate(const QStringList& arguments) {
    CurrentFilePath.clear();
    if (!arguments.isEmpty()) {
        CurrentFilePath = argumentBytes(arguments, 0);
    }
}

void TSHPIC::FormShow() {
    LoadPicture();
}

void TSHPIC::LoadPicture() {
    const PictureKind kind = pictureKindOf(CurrentFilePath);
    if (kind == PictureKind::None) {
        return;
    }
    if (kind == PictureKind::Icon) {
        LoadIconPicture(CurrentFilePath);
        return;
    }
    showPicture(loadPicture(kind, CurrentFilePath), CurrentFilePath);
}

void TSHPIC::LoadIconPicture(const std::string& path) {
    showPicture(Animation::still(loadIconBitmap(path)), path);
}

// The loading caption goes with the first picture: it would show through a picture's transparent parts.
void TSHPIC::showPicture(Animation picture, const std::string& path) {
    namingTheFile(path, [&] { Image1->setPicture(std::move(picture)); });
    Panel1->clear();
}

// Turning from hidden to visible loads; a window restored from an icon (a spontaneous show) does not. A
// picture that cannot be loaded is shown as an error and the window opens with the picture it had.
void TSHPIC::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        guarded([this] { FormShow(); });
    }
}

// The panel keeps its distance to every edge, and the image area its margins inside the panel.
void TSHPIC::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded([this] {
        Panel1->setGeometry(0, 0, width() - 1, height() - 2);
        Image1->setGeometry(8, 8, Panel1->width() - 19, Panel1->height() - 16);
    });
}
