#include "documents/package/OoxmlParts.h"

OoxmlTextHandler::Tag OoxmlTextHandler::classify(const QXmlStreamReader& reader) const {
    const QStringView name = reader.name();
    if (name == u"t") {
        return Tag::Text;
    }
    if (name == u"r") {
        return Tag::Run;
    }
    switch (part_) {
        case OoxmlPart::Story:
            if (name == u"p") {
                return Tag::Block;
            }
            if (name == u"tab") {
                return Tag::Tab;
            }
            if (name == u"br" || name == u"cr") {
                return Tag::Break;
            }
            if (name == u"noBreakHyphen") {
                return Tag::NoBreakHyphen;
            }
            if (name == u"softHyphen") {
                return Tag::SoftHyphen;
            }
            break;
        case OoxmlPart::SharedStrings:
            return name == u"si" ? Tag::Block : Tag::Other;
        case OoxmlPart::SheetComments:
            return name == u"comment" ? Tag::Block : Tag::Other;
        case OoxmlPart::Worksheet:
            if (name == u"c") {
                return Tag::Cell;
            }
            if (name == u"is") {
                return Tag::Block;
            }
            if (name == u"v" && stringCell_) {
                return Tag::BlockText;
            }
            break;
    }
    return Tag::Other;
}

void OoxmlTextHandler::startElement(const QXmlStreamReader& reader) {
    if (skipping_ > 0) {
        ++skipping_;
        return;
    }
    const QStringView name = reader.name();
    if (name == u"Fallback" || name == u"del" || name == u"moveFrom" || name == u"rPh") {
        skipping_ = 1;
        return;
    }
    const Tag tag = classify(reader);
    const Tag parent = open_.empty() ? Tag::Other : open_.back();
    switch (tag) {
        case Tag::Block:
        case Tag::BlockText:
            blocks_.open();
            break;
        case Tag::Cell:
            stringCell_ = reader.attributes().value(QLatin1String("t")) == u"str";
            break;
        case Tag::Tab:
            if (parent == Tag::Run) {
                blocks_.append(U'\t');
            }
            break;
        case Tag::Break:
            if (parent == Tag::Run || parent == Tag::Block) {
                blocks_.append(U'\n');
            }
            break;
        case Tag::NoBreakHyphen:
            blocks_.append(U'-');
            break;
        case Tag::SoftHyphen:
            blocks_.append(U'\u00AD');
            break;
        default:
            break;
    }
    open_.push_back(tag);
}

void OoxmlTextHandler::endElement(const QXmlStreamReader&) {
    if (skipping_ > 0) {
        --skipping_;
        return;
    }
    if (open_.empty()) {
        return;
    }
    const Tag tag = open_.back();
    open_.pop_back();
    if (tag == Tag::Block || tag == Tag::BlockText) {
        blocks_.close();
    } else if (tag == Tag::Cell) {
        stringCell_ = false;
    }
}

void OoxmlTextHandler::characters(QStringView text) {
    if (skipping_ == 0 && !open_.empty() && (open_.back() == Tag::Text || open_.back() == Tag::BlockText)) {
        blocks_.append(text);
    }
}
