#include "documents/pdf/PdfProtocol.h"

#include <sys/socket.h>

#include <cerrno>

namespace {

constexpr unsigned char kRead = 1;
constexpr unsigned char kUnreadable = 2;

void appendNumber(std::string& bytes, std::uint32_t number) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<char>((number >> shift) & 0xFF));
    }
}

void appendString(std::string& bytes, const std::string& text) {
    appendNumber(bytes, static_cast<std::uint32_t>(text.size()));
    bytes += text;
}

}  // namespace

bool sendAll(int channel, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t put = ::send(channel, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        at += static_cast<std::size_t>(put);
    }
    return true;
}

std::string encodePdfRequest(const std::string& path) {
    std::string bytes;
    appendString(bytes, path);
    return bytes;
}

std::string encodePdfAnswer(const DocumentText& text) {
    const bool read = text.status == DocumentText::Status::Read;
    std::string bytes(1, static_cast<char>(read ? kRead : kUnreadable));
    appendNumber(bytes, read ? static_cast<std::uint32_t>(text.blocks.size()) : 1u);
    if (read) {
        for (const std::string& block : text.blocks) {
            appendString(bytes, block);
        }
    } else {
        appendString(bytes, text.reason);
    }
    return bytes;
}

std::uint32_t PdfAnswerDecoder::numberAt(std::size_t at) const {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at + i])) << (8 * i);
    }
    return value;
}

PdfAnswerDecoder::State PdfAnswerDecoder::feed(const char* bytes, std::size_t count) {
    received_ += count;
    if (received_ > limit_) {
        return State::TooLarge;
    }
    bytes_.append(bytes, count);
    if (!headerRead_) {
        if (!need(5)) {
            return State::More;
        }
        status_ = static_cast<unsigned char>(bytes_[at_++]);
        strings_ = numberAt(at_);
        at_ += 4;
        headerRead_ = true;
        if ((status_ != kRead && status_ != kUnreadable) || (status_ == kUnreadable && strings_ != 1)) {
            return State::Bad;
        }
    }
    while (read_.size() < strings_ && need(4)) {
        const std::size_t length = numberAt(at_);
        if (!need(4 + length)) {
            break;
        }
        at_ += 4;
        if (!budget_.fits(length + TextBudget::kEntryCost)) {
            return State::TooLarge;
        }
        read_.push_back(bytes_.substr(at_, length));
        at_ += length;
    }
    bytes_.erase(0, at_);  // what was taken is kept only once, in read_
    at_ = 0;
    if (read_.size() < strings_) {
        return State::More;
    }
    return bytes_.empty() ? State::Done : State::Bad;
}

DocumentText PdfAnswerDecoder::take() {
    DocumentText text;
    if (status_ == kRead) {
        text.status = DocumentText::Status::Read;
        text.blocks = std::move(read_);
    } else {
        text.status = DocumentText::Status::Unreadable;
        text.reason = read_.empty() ? std::string() : std::move(read_.front());
    }
    return text;
}
