#include "DocumentSamples.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstring>
#include <stdexcept>

const char* const kSampleNamespaces =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
    " xmlns:v=\"urn:schemas-microsoft-com:vml\""
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
    " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
    " xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\""
    " xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\""
    " xmlns:dc=\"http://purl.org/dc/elements/1.1/\"";

namespace {

la_ssize_t appendTo(archive*, void* client, const void* data, size_t size) {
    static_cast<std::string*>(client)->append(static_cast<const char*>(data), size);
    return static_cast<la_ssize_t>(size);
}

}  // namespace

std::string zipOf(const Members& members) {
    std::string out;
    archive* zip = archive_write_new();
    archive_write_set_format_zip(zip);
    archive_write_set_bytes_in_last_block(zip, 1);
    archive_write_open(zip, &out, nullptr, &appendTo, nullptr);
    for (const auto& [name, data] : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(data.size()));
        archive_write_header(zip, entry);
        archive_write_data(zip, data.data(), data.size());
        archive_entry_free(entry);
    }
    if (archive_write_close(zip) != ARCHIVE_OK) {
        throw std::runtime_error(archive_error_string(zip));
    }
    archive_write_free(zip);
    return out;
}

std::string sampleDocx(const std::string& body, const Members& moreParts) {
    Members members = {{"[Content_Types].xml", "<Types/>"},
                       {"word/document.xml", std::string("<w:document") + kSampleNamespaces + "><w:body>" +
                                                 body + "</w:body></w:document>"}};
    members.insert(members.end(), moreParts.begin(), moreParts.end());
    return zipOf(members);
}

std::string sampleOpenDocument(const std::string& mimetype, const std::string& body,
                               const std::string& styles) {
    const std::string root = std::string("office:version=\"1.3\"") + kSampleNamespaces;
    return zipOf(
        {{"mimetype", mimetype},
         {"content.xml", "<office:document-content " + root + "><office:body>" + body +
                             "</office:body></office:document-content>"},
         {"styles.xml", "<office:document-styles " + root + ">" + styles + "</office:document-styles>"}});
}

std::string sampleCompoundFile(const std::u16string& stream) {
    std::string file(3 * 512, '\0');
    const auto put32 = [&file](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            file[at + i] = static_cast<char>(value >> (8 * i));
        }
    };
    std::memcpy(&file[0], "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    file[0x1C] = '\xFE';
    file[0x1D] = '\xFF';
    file[0x1E] = 9;  // 512-byte sectors
    put32(0x30, 1);  // the directory starts in sector 1
    put32(0x4C, 0);  // the allocation table is sector 0
    for (std::size_t i = 0x50; i < 512; i += 4) {
        put32(i, 0xFFFFFFFF);
    }
    for (std::size_t i = 0; i < 128; ++i) {
        put32(512 + 4 * i, 0xFFFFFFFF);
    }
    put32(512, 0xFFFFFFFD);  // sector 0 holds the table
    put32(516, 0xFFFFFFFE);  // the directory ends in sector 1
    const auto entry = [&](std::size_t at, const std::u16string& name, char type) {
        for (std::size_t i = 0; i < name.size(); ++i) {
            file[at + 2 * i] = static_cast<char>(name[i] & 0xFF);
            file[at + 2 * i + 1] = static_cast<char>(name[i] >> 8);
        }
        file[at + 0x40] = static_cast<char>(2 * (name.size() + 1));
        file[at + 0x42] = type;
    };
    entry(1024, u"Root Entry", 5);
    entry(1024 + 128, stream, 2);
    return file;
}
