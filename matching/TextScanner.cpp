#include "matching/TextScanner.h"

#include "matching/ScanLoop.h"
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

#if defined(__SSE2__)
struct Sse2 {
    using V = __m128i;
    static constexpr std::size_t width = 16;
    static V load(const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
    static V splat(unsigned char value) { return _mm_set1_epi8(static_cast<char>(value)); }
    static V eq(V a, V b) { return _mm_cmpeq_epi8(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static unsigned movemask(V a) { return static_cast<unsigned>(_mm_movemask_epi8(a)); }
};
#endif

bool haveAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
#else
    return false;
#endif
}

}  // namespace

TextScanner::TextScanner(const std::string& text) {
    upper_.reserve(text.size());
    lower_.reserve(text.size());
    std::vector<int> scores;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        upper_.push_back(codepage::win1251Upper(code));
        lower_.push_back(codepage::win1251Lower(code));
        scores.push_back(commonness(upper_.back()) + commonness(lower_.back()));
    }
    // The two rarest-looking places; a one-byte text uses its byte twice.
    for (std::size_t i = 0; i < scores.size(); ++i) {
        if (scores[i] < scores[rare_]) {
            rare_ = i;
        }
    }
    second_ = rare_;
    for (std::size_t i = 0; i < scores.size(); ++i) {
        if (i != rare_ && (second_ == rare_ || scores[i] < scores[second_])) {
            second_ = i;
        }
    }
}

std::ptrdiff_t TextScanner::find(const char* block, std::size_t length) const {
    const std::size_t n = upper_.size();
    if (n == 0 || length < n) {
        return -1;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(block);
    const ScanPlan plan{upper_.data(), lower_.data(), n, rare_, second_};
    std::size_t start = 0;
    std::ptrdiff_t found = -1;
    if (haveAvx2()) {
        found = scanAvx2(plan, bytes, length, start);
    }
#if defined(__SSE2__)
    if (found < 0) {
        found = vectorScan<Sse2>(plan, bytes, length, start);
    }
#endif
    // The last few starts, too close to the end for a whole vector.
    for (; found < 0 && start <= length - n; ++start) {
        if (matchesAt(plan, bytes + start)) {
            found = static_cast<std::ptrdiff_t>(start);
        }
    }
    return found;
}
