#include "app/forms.h"

#include "about/about.h"
#include "chooser/FB1.h"
#include "search/FS1.h"

void createForms(const QStringList& arguments) {
    Q_UNUSED(arguments);
    FILESCH = new TFILESCH;
    FB = new TFB;
    AboutBox = new TAboutBox;
}
