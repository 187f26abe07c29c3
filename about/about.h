#pragma once
// The About box: the product's name, version and purpose, the project's two web pages and the help file.

#include <QDialog>

class HelpWindow;
class LinkLabel;
class QFrame;
class QLabel;
class QPushButton;

// The project's pages opened by the two links.
extern const char* const kFirstSiteAddress;
extern const char* const kSecondSiteAddress;

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QFrame* Shape1;
    QLabel* Label4;
    QPushButton* Button1;
    QLabel* Label6;
    LinkLabel* Label7;
    LinkLabel* Label8;
    QLabel* Label5;
    QPushButton* Button2;
    // The program's own help window, made when first needed; the About box is its parent, so its modality
    // never blocks it.
    HelpWindow* ownHelp() const { return ownHelp_; }

  public slots:
    void Button1Click();
    void Button2Click();
    void Label7Click();
    void Label8Click();

  private:
    void createControls();

    HelpWindow* ownHelp_ = nullptr;
};

extern TAboutBox* AboutBox;
