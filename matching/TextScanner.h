#pragma once
// Finds a text in a block of bytes, each byte matching the upper or the lower Windows-1251 form of the text's
// byte at the same place. The scan tests 16 or 32 places at once for the text's two rarest-looking bytes and
// checks the whole text only where both fit, so common letters cost little.

#include <cstddef>
#include <string>
#include <vector>

class TextScanner {
  public:
    explicit TextScanner(const std::string& text);

    // Place of the first match that lies wholly inside the block, or -1.
    std::ptrdiff_t find(const char* block, std::size_t length) const;

  private:
    std::vector<unsigned char> upper_;
    std::vector<unsigned char> lower_;
    std::size_t rare_ = 0;  // the two places in the text whose bytes the vector scan looks for
    std::size_t second_ = 0;
};
