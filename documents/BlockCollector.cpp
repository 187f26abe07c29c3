#include "documents/BlockCollector.h"

#include <QString>

void BlockCollector::close() {
    if (open_.empty()) {
        return;
    }
    if (!open_.back().empty()) {
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

void BlockCollector::append(QStringView text) {
    if (!open_.empty()) {
        open_.back() += text.toUtf8().toStdString();
    }
}

void BlockCollector::append(char32_t ch) {
    if (open_.empty()) {
        return;
    }
    std::string& out = open_.back();
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
