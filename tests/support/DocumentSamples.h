#pragma once
// Small office documents made in memory for the document tests: zips written with libarchive, XML written
// as strings.

#include <string>
#include <utility>
#include <vector>

using Members = std::vector<std::pair<std::string, std::string>>;

std::string zipOf(const Members& members);

// The namespace declarations the sample parts' root elements carry.
extern const char* const kSampleNamespaces;

// A .docx whose body holds `body` (w:body's content), with further parts (header1.xml, footnotes.xml...).
std::string sampleDocx(const std::string& body, const Members& moreParts = {});
// An OpenDocument file of `mimetype` with content.xml's office:body content and styles.xml's content.
std::string sampleOpenDocument(const std::string& mimetype, const std::string& body,
                               const std::string& styles = "");
// A compound file whose directory names one stream, `stream`.
std::string sampleCompoundFile(const std::u16string& stream);
