#include "platform/Messages.h"

#include <QApplication>
#include <QMessageBox>

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
