// The PDF helper: reads the text of the PDFs the program names, one at a time, and answers with it page by
// page. poppler runs here and not in the program, so a fault, a hang or a memory-hungry page costs the
// helper, which the program restarts, and never the program.
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <memory>
#include <new>
#include <string>

#include "documents/pdf/PdfProtocol.h"

namespace {

// How far from the end a whole PDF has its end-of-file marker.
constexpr std::streamoff kTailBytes = 1024;

bool readExactly(int fd, char* into, std::size_t count) {
    while (count > 0) {
        const ssize_t got = ::read(fd, into, count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        into += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}

bool readRequest(std::string& path) {
    unsigned char length[4];
    if (!readExactly(kPdfHelperChannel, reinterpret_cast<char*>(length), 4)) {
        return false;
    }
    const std::uint32_t size =
        length[0] | (length[1] << 8) | (length[2] << 16) | (std::uint32_t{length[3]} << 24);
    path.assign(size, '\0');
    return readExactly(kPdfHelperChannel, path.data(), size);
}

// poppler mends a PDF cut short as well as it can and then shows part of its text as if it were all; a file
// whose end-of-file marker is missing is taken as damaged instead.
bool endsWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : 0;
    const std::streamoff from = std::max<std::streamoff>(0, size - kTailBytes);
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    file.seekg(from);
    file.read(tail.data(), static_cast<std::streamsize>(tail.size()));
    return file && tail.find("%%EOF") != std::string::npos;
}

DocumentText unreadable(const std::string& reason) {
    DocumentText text;
    text.status = DocumentText::Status::Unreadable;
    text.reason = reason;
    return text;
}

DocumentText pdfText(const std::string& path) {
    if (!endsWhole(path)) {
        return unreadable("файл PDF неполон");
    }
    const std::unique_ptr<poppler::document> document(poppler::document::load_from_file(path));
    if (!document) {
        return unreadable("файл PDF повреждён");
    }
    if (document->is_locked()) {
        return unreadable("файл PDF защищён паролем");
    }
    DocumentText text;
    text.status = DocumentText::Status::Read;
    bool anyText = false;
    for (int index = 0; index < document->pages(); ++index) {
        const std::unique_ptr<poppler::page> page(document->create_page(index));
        std::string block;
        if (page) {
            const poppler::byte_array utf8 =
                page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
            block.assign(utf8.begin(), utf8.end());
        }
        block.erase(std::min(block.size(), block.find_last_not_of(" \t\r\n\f") + 1));  // the last line's end
        anyText = anyText || !block.empty();
        text.blocks.push_back(std::move(block));
    }
    return anyText ? text : unreadable("в файле PDF нет текстового слоя");
}

void quiet(const std::string&, void*) {}

}  // namespace

int main() {
    poppler::set_debug_error_function(quiet, nullptr);
    std::string path;
    while (readRequest(path)) {
        DocumentText text;
        try {
            text = pdfText(path);
        } catch (const std::bad_alloc&) {
            text = unreadable("не хватило памяти");
        } catch (const std::exception& failure) {
            text = unreadable(failure.what());
        }
        if (!sendAll(kPdfHelperChannel, encodePdfAnswer(text))) {
            return 1;
        }
    }
    return 0;
}
