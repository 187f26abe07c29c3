// The document readers over every format: where the text stands in the document, how it is decoded, what is
// skipped, and the hostile files that must end as Unreadable without harm.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <functional>

#include "DocumentSamples.h"
#include "documents/DocumentReading.h"
#include "documents/DocumentText.h"

namespace {

using Status = DocumentText::Status;
const std::string kPhrase = "Договор аренды помещения";

std::string para(const std::string& runs) {
    return "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>" + runs + "</w:p>";
}
std::string run(const std::string& text) {
    return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}
std::string wordPart(const char* root, const std::string& inner) {
    return std::string("<w:") + root + kSampleNamespaces + ">" + inner + "</w:" + root + ">";
}
std::string sheet(const std::string& root, const std::string& inner) {
    return "<" + root + " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"" +
           " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" + inner +
           "</" + root + ">";
}
std::string sampleXlsx() {
    return zipOf(
        {{"xl/workbook.xml", sheet("workbook",
                                   "<sheets><sheet name=\"Аренда 2024\" sheetId=\"1\" "
                                   "r:id=\"rId1\"/></sheets>")},
         {"xl/sharedStrings.xml", sheet("sst",
                                        "<si><r><t>Договор </t></r><r><rPr><b/></rPr><t>аренды"
                                        "</t></r><rPh><t>ふりがな</t></rPh></si>")},
         {"xl/worksheets/sheet1.xml",
          sheet("worksheet",
                "<sheetData><row><c t=\"inlineStr\"><is><t>Встроенная строка</t></is></c>"
                "<c t=\"str\"><f>A1&amp;\"x\"</f><v>Итог формулы</v></c><c><v>12345</v></c></row>"
                "</sheetData>")},
         {"xl/comments1.xml", sheet("comments",
                                    "<authors><author>Автор примечания</author></authors><commentList>"
                                    "<comment ref=\"A1\" authorId=\"0\"><text><r><t>Примечание к ячейке"
                                    "</t></r></text></comment></commentList>")}});
}
std::string slide(const std::string& text) {
    return std::string("<p:sld") + kSampleNamespaces + "><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>" +
           text +
           "</a:t></a:r><a:br/><a:r><a:t>строка</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></"
           "p:sld>";
}
std::string sampleSlides() {
    const std::string rels =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    return zipOf(
        {{"ppt/presentation.xml", std::string("<p:presentation") + kSampleNamespaces +
                                      "><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId9\"/><p:sldId id=\"257\" "
                                      "r:id=\"rId8\"/></p:sldIdLst></p:presentation>"},
         {"ppt/_rels/presentation.xml.rels",
          rels + "<Relationship Id=\"rId8\" Target=\"slides/slide1.xml\"/>"
                 "<Relationship Id=\"rId9\" Target=\"/ppt/slides/slide2.xml\"/>"
                 "</Relationships>"},
         {"ppt/slides/slide1.xml", slide("Второй слайд")},
         {"ppt/slides/slide2.xml", slide("Первый слайд")},
         {"ppt/slides/_rels/slide2.xml.rels",
          rels + "<Relationship Id=\"rId2\" Target=\"../notesSlides/notesSlide7.xml\"/></Relationships>"},
         {"ppt/notesSlides/notesSlide7.xml", slide("Заметки докладчика")}});
}
std::string rtf(const std::string& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204{\\*\\panose 0}Times;}}"
           "{\\colortbl;\\red0\\green0\\blue0;}{\\info{\\title Скрытое название}}" +
           body + "}";
}
// The whole document of n identical characters in one paragraph: a zip of a few kilobytes.
std::string bomb(std::size_t size) {
    return sampleDocx(para(run(std::string(size, 'a'))));
}
std::string manyMembers() {
    Members members = {{"word/document.xml", "<x/>"}};
    for (int i = 0; i < 10'000; ++i) {
        members.emplace_back("m" + std::to_string(i), "");
    }
    return zipOf(members);
}

struct Case {
    const char* name;
    std::function<std::string()> make;
    Status status;
    std::vector<std::string> found;   // each within one block
    std::vector<std::string> absent;  // in no block
};

const Case kCases[] = {
    {"docx body",
     [] { return sampleDocx(para(run(kPhrase + " № 17"))); },
     Status::Read,
     {kPhrase + " № 17"},
     {}},
    {"docx split by a bold run",
     [] {
         return sampleDocx(
             para(run("Дого") + "<w:r><w:rPr><w:b/></w:rPr><w:t>вор</w:t></w:r>" + run(" аренды")));
     },
     Status::Read,
     {"Договор аренды"},
     {}},
    {"docx line break and tab",
     [] {
         return sampleDocx(
             para(run("Договор") + "<w:r><w:br/><w:t>аренды</w:t><w:tab/><w:t>помещения</w:t></w:r>"));
     },
     Status::Read,
     {"Договор\nаренды\tпомещения"},
     {}},
    {"docx no-break space",
     [] { return sampleDocx(para(run("Договор\u00A0аренды"))); },
     Status::Read,
     {"Договор\u00A0аренды"},
     {}},
    {"docx table cell, field result, insertion; no deletion, field code or tab stop",
     [] {
         return sampleDocx("<w:tbl><w:tr><w:tc>" + para(run("Ячейка таблицы")) + "</w:tc></w:tr></w:tbl>" +
                           para("<w:r><w:instrText>PAGE \\* MERGEFORMAT</w:instrText></w:r>" +
                                run("Результат поля") +
                                "<w:del><w:r><w:delText>удалённое</w:delText></w:r></w:del>"
                                "<w:ins>" +
                                run(" вставка") + "</w:ins>"));
     },
     Status::Read,
     {"Ячейка таблицы", "Результат поля вставка"},
     {"удалённое", "MERGEFORMAT", "\t"}},
    {"docx text box read once, beside its paragraph",
     [] {
         const std::string box = "<w:txbxContent>" + para(run("Текст надписи")) + "</w:txbxContent>";
         return sampleDocx(para(run("До ") + "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\">" + box +
                                "</mc:Choice><mc:Fallback><w:pict><v:textbox>" + box +
                                "</v:textbox></w:pict></mc:Fallback></mc:AlternateContent></w:r>" +
                                run("после")));
     },
     Status::Read,
     {"Текст надписи", "До после"},
     {}},
    {"docx header, footer, footnote, endnote, comment",
     [] {
         return sampleDocx(para(run("Тело")),
                           {{"word/header1.xml", wordPart("hdr", para(run("Верхний колонтитул")))},
                            {"word/footer2.xml", wordPart("ftr", para(run("Нижний колонтитул")))},
                            {"word/footnotes.xml",
                             wordPart("footnotes", "<w:footnote>" + para(run("Сноска")) + "</w:footnote>")},
                            {"word/endnotes.xml",
                             wordPart("endnotes", "<w:endnote>" + para(run("Концевая")) + "</w:endnote>")},
                            {"word/comments.xml",
                             wordPart("comments", "<w:comment>" + para(run("Примечание")) + "</w:comment>")},
                            {"word/glossary/document.xml", wordPart("document", para(run("Заготовка")))}});
     },
     Status::Read,
     {"Верхний колонтитул", "Нижний колонтитул", "Сноска", "Концевая", "Примечание"},
     {"Заготовка"}},
    {"xlsx sheet name, cells, formula result, comment",
     sampleXlsx,
     Status::Read,
     {"Аренда 2024", "Договор аренды", "Встроенная строка", "Итог формулы", "Примечание к ячейке"},
     {"ふりがな", "12345", "Автор примечания", "A1"}},
    {"pptx slides in the presentation's order, notes after their slide",
     sampleSlides,
     Status::Read,
     {"Первый слайд\nстрока", "Заметки докладчика"},
     {}},
    {"odt paragraph, spaces, tab, line break, note, header; no deletion, note mark or annotation author",
     [] {
         return sampleOpenDocument(
             "application/vnd.oasis.opendocument.text",
             "<office:text><text:tracked-changes><text:changed-region><text:deletion><text:p>удалённое</"
             "text:p>"
             "</text:deletion></text:changed-region></text:tracked-changes><text:h>Заголовок</"
             "text:h><text:p>Дого"
             "<text:span>вор</text:span><text:s text:c=\"3\"/>аренды<text:tab/>помещения<text:line-break/>№ "
             "17"
             "<text:note><text:note-citation>1</text:note-citation><text:note-body><text:p>Сноска</text:p></"
             "text:note-body></text:note>"
             "<office:annotation><dc:creator>Автор</dc:creator><text:p>Примечание</text:p></"
             "office:annotation>"
             "</text:p></office:text>",
             "<office:master-styles><style:master-page><style:header><text:p>Колонтитул</text:p></"
             "style:header>"
             "</style:master-page></office:master-styles>");
     },
     Status::Read,
     {"Заголовок", "Договор   аренды\tпомещения\n№ 17", "Сноска", "Примечание", "Колонтитул"},
     {"удалённое", "Автор", "№ 171"}},
    {"ods sheet name and cell",
     [] {
         return sampleOpenDocument(
             "application/vnd.oasis.opendocument.spreadsheet",
             "<office:spreadsheet><table:table table:name=\"Лист аренды\"><table:table-row>"
             "<table:table-cell><text:p>Ячейка</text:p></table:table-cell></table:table-row>"
             "</table:table></office:spreadsheet>");
     },
     Status::Read,
     {"Лист аренды", "Ячейка"},
     {}},
    {"odp slide and notes",
     [] {
         return sampleOpenDocument(
             "application/vnd.oasis.opendocument.presentation",
             "<office:presentation><draw:page><draw:frame><draw:text-box><text:p>Слайд</text:p>"
             "</draw:text-box></draw:frame><presentation:notes><draw:frame><draw:text-box>"
             "<text:p>Заметки</text:p></draw:text-box></draw:frame></presentation:notes>"
             "</draw:page></office:presentation>");
     },
     Status::Read,
     {"Слайд", "Заметки"},
     {}},
    {"rtf \\ansicpg1251",
     [] {
         return "{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'ee\\'e3\\'ee\\'e2\\'ee\\'f0 \\'e0\\'f0"
                "\\'e5\\'ed\\'e4\\'fb\\par}";
     },
     Status::Read,
     {"Договор аренды"},
     {}},
    {"rtf \\fcharset204 alone, footnote, field result; no \\info, field code or picture",
     [] {
         return rtf(
             "\\f1 \\'c4\\'ee\\'e3\\'ee\\'e2\\'ee\\'f0{\\footnote \\'d1\\'ed\\'ee\\'f1\\'ea\\'e0} "
             "{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt \\'e0\\'f0\\'e5\\'ed\\'e4\\'fb}}"
             "{\\pict\\bin4 {}\\x}\\par");
     },
     Status::Read,
     {"Договор аренды", "Сноска"},
     {"Скрытое название", "HYPERLINK", "Arial", "Times", "x"}},
    {"rtf \\u with \\uc1 and \\uc2, line, tab, cell",
     [] {
         return rtf(
             "\\uc1\\u1044?\\u1086?\\u1075?\\u1086?\\u1074?\\u1086?\\u1088?\\line{\\uc2\\u1072\\'3f\\'3f"
             "\\u1088??}\\tab x\\cell \\u-3913?");
     },
     Status::Read,
     {"Договор\nар\tx", "\uF0B7"},
     {"?"}},
    {"rtf phrase only in a skipped destination",
     [] { return rtf("{\\*\\generator Договор аренды}Text\\par"); },
     Status::Read,
     {"Text"},
     {"Договор"}},
    {"zip bomb", [] { return bomb(std::size_t{8} << 20); }, Status::Unreadable, {}, {}},
    {"countless one-letter cells: their keeping counts",
     [] {
         std::string cells;
         for (int i = 0; i < 720'000; ++i) {
             cells += "x\\cell ";
         }
         return rtf(cells);
     },
     Status::Unreadable,
     {},
     {}},
    {"billion laughs",
     [] {
         return zipOf({{"word/document.xml",
                        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
                        "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]>"
                        "<w:document><w:t>&lol2;</w:t></w:document>"}});
     },
     Status::Unreadable,
     {},
     {}},
    {"undeclared entity", [] { return sampleDocx(para(run("&lol;"))); }, Status::Unreadable, {}, {}},
    {"more than 10,000 members", manyMembers, Status::Unreadable, {}, {}},
    {"truncated docx",
     [] {
         const std::string d = sampleDocx(para(run(kPhrase)));
         return d.substr(0, d.size() - 40);
     },
     Status::Unreadable,
     {},
     {}},
    {"encrypted Office file",
     [] { return sampleCompoundFile(u"EncryptedPackage"); },
     Status::Unreadable,
     {},
     {}},
    {"Word 97 file", [] { return sampleCompoundFile(u"WordDocument"); }, Status::NotDocument, {}, {}},
    {"plain zip",
     [] {
         return zipOf({{"content.xml", "<a>Договор</a>"}});
     },
     Status::NotDocument,
     {},
     {}},
    {"zip with another mimetype",
     [] { return sampleOpenDocument("application/epub+zip", ""); },
     Status::NotDocument,
     {},
     {}},
    {"PDF with no reader", [] { return std::string(100, ' ') + "%PDF-1.7\n"; }, Status::Unreadable, {}, {}},
    {"text file", [] { return kPhrase; }, Status::NotDocument, {}, {}},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class DocumentTextTest : public testing::TestWithParam<Case> {};

TEST_P(DocumentTextTest, ReadsTheTextWhereItStands) {
    const Case& c = GetParam();
    const std::string bytes = c.make();
    EXPECT_EQ(mayBeDocument(bytes.data(), bytes.size()), c.name != std::string("text file"));
    const DocumentText text = readDocumentFromMemory(bytes.data(), bytes.size(), nullptr);
    ASSERT_EQ(text.status, c.status) << text.reason;
    EXPECT_EQ(text.reason.empty(), c.status != Status::Unreadable);
    const auto inABlock = [&text](const std::string& part) {
        return std::any_of(text.blocks.begin(), text.blocks.end(), [&part](const std::string& block) {
            return block.find(part) != std::string::npos;
        });
    };
    for (const std::string& part : c.found) {
        EXPECT_TRUE(inABlock(part)) << part;
    }
    for (const std::string& part : c.absent) {
        EXPECT_FALSE(inABlock(part)) << part;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DocumentTextTest, testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (const char ch : std::string(info.param.name)) {
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    }
    return name;
});

// The order of the blocks, which the table does not check: body first, slides as the presentation lists them.
TEST(DocumentTextOrder, BodyBeforeNotesAndSlidesInTheirListedOrder) {
    const std::string docx = sampleDocx(para(run("Тело")) + para(run("Конец")),
                                        {{"word/header1.xml", wordPart("hdr", para(run("Колонтитул")))}});
    EXPECT_EQ(readDocumentFromMemory(docx.data(), docx.size(), nullptr).blocks,
              (std::vector<std::string>{"Тело", "Конец", "Колонтитул"}));
    const std::string slides = sampleSlides();
    EXPECT_EQ(readDocumentFromMemory(slides.data(), slides.size(), nullptr).blocks,
              (std::vector<std::string>{"Первый слайд\nстрока", "Заметки докладчика\nстрока",
                                        "Второй слайд\nстрока"}));
}

class FakePdfSource : public PdfTextSource {
  public:
    DocumentText read(const std::string& path, const DocumentCancel&) override {
        DocumentText text;
        text.status = DocumentText::Status::Read;
        text.blocks = {path};
        return text;
    }
};

// From a file: a PDF goes to the source with its path, and "Стоп" ends a large document early.
TEST(DocumentTextFile, HandsPdfToItsSourceAndStopsWhenCancelled) {
    QTemporaryDir folder;
    const std::string pdf = folder.filePath("a.pdf").toStdString();
    std::ofstream(pdf) << "%PDF-1.4\n";
    FakePdfSource source;
    EXPECT_EQ(readDocumentText(pdf, nullptr, &source).blocks, std::vector<std::string>{pdf});

    const std::string rtfPath = folder.filePath("large.rtf").toStdString();
    std::ofstream(rtfPath) << rtf(std::string(1 << 20, 'x'));
    int looks = 0;
    EXPECT_EQ(readDocumentText(
                  rtfPath, [&looks] { return ++looks > 2; }, nullptr)
                  .status,
              Status::Cancelled);
    const std::string large = bomb(std::size_t{1} << 20);
    looks = 0;
    EXPECT_EQ(readDocumentFromMemory(large.data(), large.size(), [&looks] { return ++looks > 2; }).status,
              Status::Cancelled);
    EXPECT_EQ(readDocumentText(folder.path().toStdString(), nullptr, nullptr).status, Status::NotDocument);
}

}  // namespace
