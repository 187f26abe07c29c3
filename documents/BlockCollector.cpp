#include "documents/BlockCollector.h"

#include <QString>

void BlockCollector::close() {
    if (open_.empty()) {
        return;
    }
    if (!open_.back().empty()) {
        budget_.spend(TextBudget::kEntryCost);
        blocks_.push_back(std::move(open_.back()));
    }
    open_.pop_back();
}

void BlockCollector::breakBlock() {
    if (open_.empty()) {
        return;
    }
    close();
    open();
}

std::string& BlockCollector::innermost(std::size_t adding) {
    budget_.spend(adding);
    return open_.back();
}

void BlockCollector::append(QStringView text) {
    if (!open_.empty()) {
        const QByteArray utf8 = text.toUtf8();
        innermost(static_cast<std::size_t>(utf8.size()))
            .append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }
}

void BlockCollector::append(char32_t ch) {
    if (open_.empty()) {
        return;
    }
    std::string& out = innermost(ch < 0x80 ? 1 : ch < 0x800 ? 2 : ch < 0x10000 ? 3 : 4);
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (ch >> 18));
        out += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}
