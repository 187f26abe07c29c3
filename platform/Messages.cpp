#include "platform/Messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr const char* kApplicationTitle = "Varnel";

class BoxMessages : public Messages {
  public:
    void information(const QString& text) override { show(QMessageBox::NoIcon, kApplicationTitle, text); }
    void captioned(const QString& caption, const QString& text) override {
        show(QMessageBox::NoIcon, caption, text);
    }
    void captionedInformation(const QString& caption, const QString& text) override {
        show(QMessageBox::Information, caption, text);
    }
    void error(const QString& text) override { show(QMessageBox::Critical, kApplicationTitle, text); }
    // The buttons carry their own Russian texts, so the answer never depends on a translation being
    // installed.
    bool question(const QString& text) override {
        QMessageBox box(QMessageBox::Warning, kApplicationTitle, text, QMessageBox::NoButton,
                        QApplication::activeWindow());
        QPushButton* const yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        QPushButton* const no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }

  private:
    static void show(QMessageBox::Icon icon, const QString& caption, const QString& text) {
        QMessageBox box(icon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    }
};

BoxMessages& realMessages() {
    static BoxMessages instance;
    return instance;
}

Messages* installed = nullptr;

}  // namespace

Messages& Messages::current() {
    return installed != nullptr ? *installed : realMessages();
}

void Messages::install(Messages* replacement) {
    installed = replacement;
}
