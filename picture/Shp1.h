#pragma once
// The picture viewer: one picture file, named by the current file path and chosen by its extension, drawn
// scaled to fit the window. It loads each time it is shown and when asked while open.

#include <QStringList>
#include <QWidget>
#include <string>

#include "picture/display/Animation.h"

class QLabel;
class PictureArea;

class TSHPIC : public QWidget {
    Q_OBJECT
  public:
    // `arguments` are the program's arguments after its name; the first becomes the current file path.
    explicit TSHPIC(const QStringList& arguments = {}, QWidget* parent = nullptr);

    QLabel* Panel1;
    PictureArea* Image1;

  public slots:
    void FormShow();
    // Throws FileError or PictureError when the file cannot be read or decoded; the picture on show stays.
    void LoadPicture();
    void LoadIconPicture(const std::string& path);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormCreate(const QStringList& arguments);
    void showPicture(Animation picture, const std::string& path);
};

extern TSHPIC* SHPIC;
