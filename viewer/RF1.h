#pragma once
// The file viewer: any file, small ones whole and large ones page by page from the disk, as text or as a hex
// dump, in the readings WIN, DOS and UCODE, with a search in the text or in the file. The window wires the
// controls to the page units of viewer/; it keeps the path it loaded, so pages and searches always come from
// the file its title names.

#include <QStringList>
#include <QWidget>

class QAbstractButton;
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

  public slots:
    // Loads the file named by the current file path in the current reading and shows its beginning.
    void LoadFile();
    void SetupPaging();
    void ScrollBar1Change();
    void Button5Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void Button3Click();
    void SearchCommand();

  private:
    void FormCreate(const QStringList& arguments);
};

extern TRF* RF;
