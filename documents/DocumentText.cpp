#include "documents/DocumentText.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "documents/ByteSource.h"
#include "documents/DocumentFailure.h"
#include "documents/DocumentReading.h"
#include "documents/ole/EncryptedOle.h"
#include "documents/package/PackageText.h"
#include "documents/rtf/RtfReader.h"
#include "platform/files/InputFile.h"

namespace {

constexpr std::size_t kHeadSize = 1024;
// Pieces of an RTF file read between two looks at the cancel: a few milliseconds of reading at most.
constexpr std::size_t kRtfPiece = 64 * 1024;

enum class Format { None, Zip, Ole2, Rtf, Pdf };

bool startsWith(const char* head, std::size_t size, const char* magic, std::size_t length) {
    return size >= length && std::memcmp(head, magic, length) == 0;
}

Format formatOf(const char* head, std::size_t size) {
    size = std::min(size, kHeadSize);
    if (startsWith(head, size, "PK\3\4", 4)) {
        return Format::Zip;
    }
    if (startsWith(head, size, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        return Format::Ole2;
    }
    if (startsWith(head, size, "{\\rtf", 5)) {
        return Format::Rtf;
    }
    static const char kPdf[] = "%PDF-";
    if (std::search(head, head + size, kPdf, kPdf + 5) != head + size) {
        return Format::Pdf;
    }
    return Format::None;
}

DocumentText readRtf(const ByteSource& bytes, const DocumentCancel& cancelled) {
    DocumentText text;
    RtfReader reader(text.blocks);
    std::vector<char> piece(kRtfPiece);
    for (std::uint64_t offset = 0;;) {
        stopIfCancelled(cancelled);
        const std::size_t got = bytes.readAt(piece.data(), piece.size(), offset);
        if (got == 0) {
            break;
        }
        reader.feed(piece.data(), got);
        offset += got;
    }
    reader.finish();
    text.status = DocumentText::Status::Read;
    return text;
}

DocumentText unreadable(const std::string& reason) {
    DocumentText text;
    text.status = DocumentText::Status::Unreadable;
    text.reason = reason;
    return text;
}

}  // namespace

bool mayBeDocument(const char* head, std::size_t size) {
    return formatOf(head, size) != Format::None;
}

DocumentText readDocument(const ByteSource& bytes, const std::string& path, const DocumentCancel& cancelled,
                          PdfTextSource* pdf) {
    char head[kHeadSize];
    const std::size_t headSize = bytes.readAt(head, sizeof head, 0);
    try {
        switch (formatOf(head, headSize)) {
            case Format::Zip:
                return readPackageText(bytes, cancelled);
            case Format::Ole2:
                return holdsEncryptedPackage(bytes) ? unreadable("документ защищён паролем") : DocumentText{};
            case Format::Rtf:
                return readRtf(bytes, cancelled);
            case Format::Pdf:
                return pdf != nullptr ? pdf->read(path, cancelled) : unreadable("PDF не читается");
            case Format::None:
                return {};
        }
    } catch (const DocumentUnreadable& failure) {
        return unreadable(failure.what());
    } catch (const DocumentReadCancelled&) {
        DocumentText text;
        text.status = DocumentText::Status::Cancelled;
        return text;
    }
    return {};
}

DocumentText readDocumentFromMemory(const char* data, std::size_t size, const DocumentCancel& cancelled) {
    return readDocument(BytesInMemory(data, size), std::string(), cancelled, nullptr);
}

DocumentText readDocumentText(const std::string& path, const DocumentCancel& cancelled, PdfTextSource* pdf) {
    const InputFile file(path);
    if (file.kind() != InputFile::Kind::Regular) {
        return {};
    }
    return readDocument(BytesInFile(file), path, cancelled, pdf);
}
