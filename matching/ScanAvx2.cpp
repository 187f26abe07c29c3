// Built with -mavx2 (see CMakeLists.txt); reached only after a run-time check of the processor.
#include <immintrin.h>

#include "matching/ScanLoop.h"

namespace {

struct Avx2 {
    using V = __m256i;
    using Hits = __m256i;
    static constexpr std::size_t width = 32;
    static V load(const unsigned char* at) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    }
    static V splat(unsigned char value) { return _mm256_set1_epi8(static_cast<char>(value)); }
    static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
    static Hits equal(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
    static Hits both(Hits a, Hits b) { return _mm256_and_si256(a, b); }
    static Hits either(Hits a, Hits b) { return _mm256_or_si256(a, b); }
    static unsigned bits(Hits a) { return static_cast<unsigned>(_mm256_movemask_epi8(a)); }
};

}  // namespace

std::ptrdiff_t scanAvx2(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                        std::size_t starts, std::size_t& start) {
    return vectorScan<Avx2>(plan, bytes, length, starts, start);
}
