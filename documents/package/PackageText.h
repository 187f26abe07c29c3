#pragma once
// The text of a zip that is an Office Open XML file (.docx, .xlsx, .pptx) or an OpenDocument file (.odt,
// .ods, .odp), told by its members; any other zip is NotDocument. Only the members that hold text are
// inflated, and no member is ever opened as a container of its own.

#include "documents/DocumentText.h"

class ByteSource;

// Throws DocumentUnreadable or DocumentReadCancelled once the file is known to be a document.
DocumentText readPackageText(const ByteSource& bytes, const DocumentCancel& cancelled);
