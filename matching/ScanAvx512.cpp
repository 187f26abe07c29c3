// Built with -mavx512f -mavx512bw (see CMakeLists.txt); reached only after a run-time check of the processor.
#include <immintrin.h>

#include "matching/ScanLoop.h"

namespace {

struct Avx512 {
    using V = __m512i;
    using Hits = __mmask64;
    static constexpr std::size_t width = 64;
    static V load(const unsigned char* at) { return _mm512_loadu_si512(at); }
    static V splat(unsigned char value) { return _mm512_set1_epi8(static_cast<char>(value)); }
    static V bitOr(V a, V b) { return _mm512_or_si512(a, b); }
    static Hits equal(V a, V b) { return _mm512_cmpeq_epi8_mask(a, b); }
    static Hits both(Hits a, Hits b) { return a & b; }
    static Hits either(Hits a, Hits b) { return a | b; }
    static unsigned long long bits(Hits a) { return a; }
};

}  // namespace

std::ptrdiff_t scanAvx512(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                          std::size_t starts, std::size_t& start) {
    return vectorScan<Avx512>(plan, bytes, length, starts, start);
}
