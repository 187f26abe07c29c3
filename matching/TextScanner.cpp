#include "matching/TextScanner.h"

#include "platform/CodePages.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// How often a byte tends to occur in documents, higher for more common: blanks, line ends, digits and the
// frequent letters of Latin and Cyrillic text (in both 1251 and 866) rank high, so the scan avoids them.
int commonness(unsigned char code) {
    static const char* const kCommonLatin = "etaoinsrhldcu";
    if (code == ' ' || code == '\n' || code == '\r' || code == '\t' || code == 0) {
        return 100;
    }
    if (code >= '0' && code <= '9') {
        return 40;
    }
    for (const char* c = kCommonLatin; *c != '\0'; ++c) {
        if (code == static_cast<unsigned char>(*c)) {
            return 90 - static_cast<int>(c - kCommonLatin);
        }
    }
    if (code >= 'a' && code <= 'z') {
        return 50;
    }
    const bool cyrillicLower1251 = code >= 0xE0;
    const bool cyrillicLower866 = (code >= 0xA0 && code <= 0xAF) || (code >= 0xE0 && code <= 0xEF);
    if (cyrillicLower1251 || cyrillicLower866) {
        return 60;
    }
    return 20;
}

}  // namespace

TextScanner::TextScanner(const std::string& text) {
    upper_.reserve(text.size());
    lower_.reserve(text.size());
    int best = 1 << 30;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        upper_.push_back(codepage::win1251Upper(code));
        lower_.push_back(codepage::win1251Lower(code));
        const int score = commonness(upper_.back()) + commonness(lower_.back());
        if (score < best) {
            best = score;
            pivot_ = i;
        }
    }
}

bool TextScanner::matchesAt(const unsigned char* start) const {
    for (std::size_t k = 0; k < upper_.size(); ++k) {
        if (start[k] != upper_[k] && start[k] != lower_[k]) {
            return false;
        }
    }
    return true;
}

std::ptrdiff_t TextScanner::find(const char* block, std::size_t length) const {
    const std::size_t n = upper_.size();
    if (n == 0 || length < n) {
        return -1;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(block);
    const unsigned char up = upper_[pivot_];
    const unsigned char low = lower_[pivot_];
    // The pivot byte of a match starting at p stands at p + pivot_, for p from 0 to length - n.
    const std::size_t first = pivot_;
    const std::size_t last = length - n + pivot_;
    std::size_t at = first;
#if defined(__SSE2__)
    const __m128i wantUp = _mm_set1_epi8(static_cast<char>(up));
    const __m128i wantLow = _mm_set1_epi8(static_cast<char>(low));
    while (at + 16 <= last + 1) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(chunk, wantUp), _mm_cmpeq_epi8(chunk, wantLow));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        while (mask != 0) {
            const std::size_t hit = at + static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesAt(bytes + hit - pivot_)) {
                return static_cast<std::ptrdiff_t>(hit - pivot_);
            }
            mask &= mask - 1;
        }
        at += 16;
    }
#endif
    for (; at <= last; ++at) {
        if ((bytes[at] == up || bytes[at] == low) && matchesAt(bytes + at - pivot_)) {
            return static_cast<std::ptrdiff_t>(at - pivot_);
        }
    }
    return -1;
}
