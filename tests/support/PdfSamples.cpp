#include "PdfSamples.h"

#include <QByteArray>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

bool startsWith(const std::string& bytes, const std::string& head) {
    return bytes.compare(0, head.size(), head) == 0;
}

}  // namespace

std::string samplePdf(const std::vector<std::string>& pages, bool encrypted) {
    std::vector<std::string> objects;
    std::string kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        kids += std::to_string(4 + 2 * i) + " 0 R ";
    }
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string content =
            pages[i].empty() ? ""
                             : "BT /F1 24 Tf 72 700 Td <" +
                                   QByteArray::fromStdString(pages[i]).toHex().toStdString() + "> Tj ET";
        objects.push_back(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 3 0 R "
            ">> >> /Contents " +
            std::to_string(5 + 2 * i) + " 0 R >>");
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "\nendstream");
    }
    const std::string hex32(64, 'A'), id = "<" + hex32.substr(0, 32) + ">";
    if (encrypted) {
        objects.push_back("<< /Filter /Standard /V 1 /R 2 /O <" + hex32 + "> /U <" + hex32 + "> /P -44 >>");
    }
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        pdf += std::string(10 - std::to_string(offset).size(), '0') + std::to_string(offset) + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R";
    if (encrypted) {
        pdf += " /Encrypt " + std::to_string(objects.size()) + " 0 R /ID [" + id + id + "]";
    }
    pdf += " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

bool FakeDocumentReader::mayBeDocument(const char* head, std::size_t size) {
    const std::string bytes(head, size);
    return startsWith(bytes, "%FAKEDOC") || startsWith(bytes, "%PDF-");
}

DocumentText FakeDocumentReader::read(const std::string& path, const DocumentCancel& cancelled,
                                      PdfTextSource* pdf) {
    ++reads;
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (startsWith(bytes, "%PDF-")) {
        return pdf->read(path, cancelled);
    }
    DocumentText text;
    if (startsWith(bytes, kEndlessDocument)) {
        endlessRead = EndlessRead::Started;
        while (!cancelled()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        endlessRead = EndlessRead::Cancelled;
    }
    if (!startsWith(bytes, kFakeDocument)) {
        text.status = startsWith(bytes, kUnreadableDocument) ? DocumentText::Status::Unreadable
                                                             : DocumentText::Status::Cancelled;
        return text;
    }
    text.status = DocumentText::Status::Read;
    std::size_t at = std::string(kFakeDocument).size();
    while (at <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\x1e', at), bytes.size());
        text.blocks.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return text;
}
