#include "about/HelpWindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "about/HelpContents.h"
#include "icons/Icons.h"
#include "platform/HandlerGuard.h"

namespace {

const QString kPages = QStringLiteral("qrc:/help/");
const QString kFirstPage = QStringLiteral("index.htm");

// The pages are kept as UTF-8 and say "windows-1251", the charset of their compiled form; they are read here
// as what they are.
class PageBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;

  protected:
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource) {
            QFile page(QLatin1Char(':') + name.path());
            if (name.scheme() == QLatin1String("qrc") && page.open(QIODevice::ReadOnly)) {
                return QString::fromUtf8(page.readAll());
            }
        }
        return QTextBrowser::loadResource(type, name);
    }
};

std::vector<HelpTopic> builtInContents() {
    QFile sitemap(QStringLiteral(":/help/toc.hhc"));
    sitemap.open(QIODevice::ReadOnly);
    return readHelpContents(QString::fromUtf8(sitemap.readAll()));
}

}  // namespace

// The pages are compiled into the library, whose resources a program must ask for by name.
static void initialiseHelpPages() {
    Q_INIT_RESOURCE(help);
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    initialiseHelpPages();
    setWindowTitle(QStringLiteral("Varnel — справка"));
    setWindowIcon(applicationIcon());
    resize(800, 560);

    Back = new QPushButton(QStringLiteral("< Назад"), this);
    Forward = new QPushButton(QStringLiteral("Вперёд >"), this);
    Back->setEnabled(false);
    Forward->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Back);
    buttons->addWidget(Forward);
    buttons->addStretch();

    auto* splitter = new QSplitter(this);
    Contents = new QListWidget(splitter);
    for (const HelpTopic& topic : builtInContents()) {
        auto* item = new QListWidgetItem(topic.title, Contents);
        item->setData(Qt::UserRole, topic.page);
    }
    Pages = new PageBrowser(splitter);
    Pages->setOpenExternalLinks(true);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 540});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(Back, &QPushButton::clicked, Pages, &QTextBrowser::backward);
    connect(Forward, &QPushButton::clicked, Pages, &QTextBrowser::forward);
    connect(Pages, &QTextBrowser::backwardAvailable, Back, &QWidget::setEnabled);
    connect(Pages, &QTextBrowser::forwardAvailable, Forward, &QWidget::setEnabled);
    connect(Pages, &QTextBrowser::sourceChanged, this, guardedSlot(this, &HelpWindow::markTopic));
    connect(Contents, &QListWidget::currentRowChanged, this, guardedSlot(this, &HelpWindow::showTopic));
}

void HelpWindow::open() {
    if (Pages->source().isEmpty()) {
        Pages->setSource(QUrl(kPages + kFirstPage));
    }
    show();
    raise();
    activateWindow();
}

QString HelpWindow::page() const {
    return Pages->source().fileName();
}

void HelpWindow::showTopic(int row) {
    const QListWidgetItem* item = Contents->item(row);
    if (item != nullptr && item->data(Qt::UserRole).toString() != page()) {
        Pages->setSource(QUrl(kPages + item->data(Qt::UserRole).toString()));
    }
}

void HelpWindow::markTopic(const QUrl& source) {
    for (int row = 0; row < Contents->count(); ++row) {
        if (Contents->item(row)->data(Qt::UserRole).toString() == source.fileName()) {
            const QSignalBlocker quiet(Contents);
            Contents->setCurrentRow(row);
            return;
        }
    }
}
