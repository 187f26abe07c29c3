// Stands in for the metafile renderer until it lands; delete this file then.
#include "picture/Metafile.h"

QImage loadMetafile(const std::string&) {
    throw PictureError("Метафайлы пока не поддерживаются");
}
