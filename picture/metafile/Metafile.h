#pragma once
// Enhanced metafiles and placeable WMF files, drawn by our own renderer.

#include <QImage>
#include <string>

#include "picture/PictureError.h"

// Renders an enhanced metafile or a placeable WMF file at 96 dpi onto a transparent ARGB image of the
// picture's own size. Throws PictureError with a clear text for any other content.
QImage loadMetafile(const std::string& path);
