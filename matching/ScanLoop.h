#pragma once
// The vector scan behind TextScanner, written once over a vector width and compiled in one unit per
// instruction set. Everything here has internal linkage and uses no library code, so a unit built for a wider
// instruction set cannot lend its code to the rest of the program.

#include <cstddef>

struct ScanPlan {
    const unsigned char* upper;  // the text's upper forms
    const unsigned char* lower;  // and lower forms, n of each
    std::size_t n;
    std::size_t rare;  // the two places whose bytes the vector compare looks for
    std::size_t second;
};

namespace {

inline bool matchesAt(const ScanPlan& plan, const unsigned char* start) {
    for (std::size_t k = 0; k < plan.n; ++k) {
        if (start[k] != plan.upper[k] && start[k] != plan.lower[k]) {
            return false;
        }
    }
    return true;
}

// Vec supplies: type V, width, load, splat, eq, bitOr, bitAnd, movemask.
template <typename Vec>
struct Forms {
    Forms(unsigned char upper, unsigned char lower) {
        const unsigned char differ = upper ^ lower;
        singleBit = (differ & (differ - 1)) == 0;  // most letter pairs differ in one bit: one compare does
        bit = Vec::splat(singleBit ? differ : 0);
        first = Vec::splat(singleBit ? (upper | differ) : upper);
        second = Vec::splat(lower);
    }
    typename Vec::V test(typename Vec::V chunk) const {
        if (singleBit) {
            return Vec::eq(Vec::bitOr(chunk, bit), first);
        }
        return Vec::bitOr(Vec::eq(chunk, first), Vec::eq(chunk, second));
    }
    bool singleBit;
    typename Vec::V bit, first, second;
};

// First start, from `start` on, of a match lying wholly in the block, or -1; `start` is left where the vector
// part stopped when nothing was found.
template <typename Vec>
std::ptrdiff_t vectorScan(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                          std::size_t& start) {
    const std::size_t lastStart = length - plan.n;
    const Forms<Vec> rare(plan.upper[plan.rare], plan.lower[plan.rare]);
    const Forms<Vec> second(plan.upper[plan.second], plan.lower[plan.second]);
    for (; start + Vec::width <= lastStart + 1; start += Vec::width) {
        const auto hits = Vec::bitAnd(rare.test(Vec::load(bytes + start + plan.rare)),
                                      second.test(Vec::load(bytes + start + plan.second)));
        for (auto mask = Vec::movemask(hits); mask != 0; mask &= mask - 1) {
            const std::size_t candidate = start + static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesAt(plan, bytes + candidate)) {
                return static_cast<std::ptrdiff_t>(candidate);
            }
        }
    }
    return -1;
}

}  // namespace

// Defined in ScanAvx2.cpp; call only where the processor has AVX2.
std::ptrdiff_t scanAvx2(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                        std::size_t& start);
