// picture/Metafile.h
#pragma once
#include <QImage>
#include <string>

#include "picture/PictureError.h"

// Renders an enhanced metafile or a placeable WMF file at 96 dpi onto a transparent ARGB image of the picture's
// own size. Throws PictureError (picture/PictureError.h, already in the repo) with a clear text for anything else.
QImage loadMetafile(const std::string& path);
