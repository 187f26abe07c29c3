#pragma once
// Finds a text in a block of bytes, each byte matching the upper or the lower Windows-1251 form of the text's
// byte at the same place. The scan looks for the text's rarest-looking byte with a vector compare and checks
// the rest around each hit, so common first letters cost nothing extra.

#include <cstddef>
#include <string>
#include <vector>

class TextScanner {
  public:
    explicit TextScanner(const std::string& text);

    // Place of the first match that lies wholly inside the block, or -1.
    std::ptrdiff_t find(const char* block, std::size_t length) const;

  private:
    bool matchesAt(const unsigned char* start) const;

    std::vector<unsigned char> upper_;
    std::vector<unsigned char> lower_;
    std::size_t pivot_ = 0;  // the place in the text whose byte the vector scan looks for
};
