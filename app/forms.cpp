#include "app/forms.h"

#include "picture/Shp1.h"
#include "search/FS1.h"

void createForms(const QStringList& arguments) {
    FILESCH = new TFILESCH;
    SHPIC = new TSHPIC(arguments);
}
