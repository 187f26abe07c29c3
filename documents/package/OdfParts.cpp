#include "documents/package/OdfParts.h"

#include <QLatin1String>
#include <algorithm>

namespace {

constexpr QLatin1String kTextNamespace("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
constexpr QLatin1String kTableNamespace("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
// text:c of a text:s asks for that many blanks; one blank matches any run, so a few are enough.
constexpr int kMostBlanks = 64;

enum : unsigned char { kOther = 0, kParagraph = 1, kText = 2 };

}  // namespace

void OdfTextHandler::startElement(const QXmlStreamReader& reader) {
    if (skipping_ > 0) {
        ++skipping_;
        return;
    }
    const QStringView name = reader.name();
    const bool inText = reader.namespaceUri() == kTextNamespace;
    if (inText && (name == u"tracked-changes" || name == u"note-citation")) {
        skipping_ = 1;
        return;
    }
    unsigned char kind = inText ? kText : kOther;
    if (inText && (name == u"p" || name == u"h")) {
        blocks_.open();
        kind = kParagraph;
    } else if (inText && name == u"s") {
        bool ok = false;
        const int count = reader.attributes().value(kTextNamespace, QLatin1String("c")).toInt(&ok);
        for (int i = 0; i < (ok ? std::clamp(count, 1, kMostBlanks) : 1); ++i) {
            blocks_.append(U' ');
        }
    } else if (inText && name == u"tab") {
        blocks_.append(U'\t');
    } else if (inText && name == u"line-break") {
        blocks_.append(U'\n');
    } else if (name == u"table" && reader.namespaceUri() == kTableNamespace) {
        const QString tableName =
            reader.attributes().value(kTableNamespace, QLatin1String("name")).toString();
        if (!tableName.isEmpty()) {
            tableNames_.push_back(tableName.toStdString());
            budget_.spendEntry(tableNames_.back());
        }
    }
    open_.push_back(kind);
}

void OdfTextHandler::endElement(const QXmlStreamReader&) {
    if (skipping_ > 0) {
        --skipping_;
        return;
    }
    if (open_.empty()) {
        return;
    }
    if (open_.back() == kParagraph) {
        blocks_.close();
    }
    open_.pop_back();
}

void OdfTextHandler::characters(QStringView text) {
    if (skipping_ == 0 && !open_.empty() && open_.back() != kOther) {
        blocks_.append(text);
    }
}
