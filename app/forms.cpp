#include "app/forms.h"

#include "search/FS1.h"

void createForms(const QStringList& arguments) {
    Q_UNUSED(arguments);
    FILESCH = new TFILESCH;
}
