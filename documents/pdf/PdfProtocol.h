#pragma once
// What the program and a PDF helper say to each other over their socket. The program sends a path: its length
// as 4 bytes (little-endian) and its bytes. The helper answers with one byte, 1 for text read and 2 for a PDF
// whose text cannot be read, the number of strings that follow as 4 bytes, and each string as its length and
// its bytes: the pages, or the reason.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "documents/DocumentText.h"
#include "documents/TextBudget.h"

// The descriptor a helper talks on; its standard output stays free for whatever a library prints.
constexpr int kPdfHelperChannel = 3;

std::string encodePdfRequest(const std::string& path);

// Sends all of `bytes` on the socket `channel`, going on after a signal; false when the other side is gone.
bool sendAll(int channel, const std::string& bytes);
std::string encodePdfAnswer(const DocumentText& text);

// Takes an answer in as its bytes arrive.
class PdfAnswerDecoder {
  public:
    // TooLarge: the answer is longer than `limit` bytes, or its pages would cost more than a document's text
    // budget to keep.
    enum class State { More, Done, Bad, TooLarge };
    explicit PdfAnswerDecoder(std::uint64_t limit) : limit_(limit) {}
    State feed(const char* bytes, std::size_t count);
    // The answer once Done: Read or Unreadable.
    DocumentText take();

  private:
    bool need(std::size_t count) const { return bytes_.size() - at_ >= count; }
    std::uint32_t numberAt(std::size_t at) const;

    std::uint64_t limit_;
    std::uint64_t received_ = 0;
    std::string bytes_;
    std::size_t at_ = 0;
    bool headerRead_ = false;
    unsigned char status_ = 0;
    std::uint32_t strings_ = 0;
    std::vector<std::string> read_;
    TextBudget budget_;
};
