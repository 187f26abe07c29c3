#include "app/forms.h"

#include <QCoreApplication>

#include "about/about.h"
#include "chooser/FB1.h"
#include "picture/Shp1.h"
#include "search/FS1.h"
#include "settings/forset1.h"
#include "viewer/RF1.h"

void createForms(const QStringList& arguments) {
    createSearchForms();
    createOtherForms(arguments);
}

void createSearchForms() {
    FILESCH = new TFILESCH;
    Set1 = new TSet1;
}

void createOtherForms(const QStringList& arguments) {
    SHPIC = new TSHPIC(arguments);
    RF = new TRF(arguments);
    QCoreApplication::instance()->installEventFilter(RF->applicationHook());
    FB = new TFB;
    AboutBox = new TAboutBox;
}
