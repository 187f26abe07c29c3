#pragma once
// Plays a metafile's records onto a canvas: the enhanced records and the WMF records each have their player,
// both feeding one DeviceContext. A record that is too short for its own fields is skipped; budgets and
// broken framing end the playback with a PictureError.

#include <QSizeF>

#include "picture/metafile/MetafileCanvas.h"
#include "picture/metafile/MetafileDeviceContext.h"
#include "picture/metafile/MetafileReader.h"

namespace metafile {

// Draws `document` stretched over (0, 0, output).
void render(const Document& document, Canvas& canvas, const QSizeF& output);

// One record of each kind of metafile; a record too short for its own fields throws ShortRecord.
void playEnhancedRecord(std::uint32_t type, const ByteView& bytes, DeviceContext& context);
void playPlaceableRecord(std::uint32_t function, const ByteView& bytes, DeviceContext& context);

// Cuts a bitmap's source rectangle out of a decoded DIB. `fromBottom` says the rectangle counts rows from the
// bottom of a bottom-up bitmap, as the DIB-drawing records do. Returns a null image when nothing is left.
QImage sourceRect(const Dib& dib, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                  bool fromBottom);

}  // namespace metafile
