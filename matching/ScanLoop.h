#pragma once
// The vector scan behind TextScanner, written once over a vector width and compiled in one unit per
// instruction set. Everything here has internal linkage and uses no library code, so a unit built for a wider
// instruction set cannot lend its code to the rest of the program.

#include <cstddef>

// One character of a form: the byte sequences that stand for it (itself and its upper and lower case), at
// most one of which can start at a place, since every encoding here is prefix-free.
struct ScanChar {
    static constexpr int kMaxAlternatives = 3;
    static constexpr int kMaxBytes = 4;
    unsigned char count;
    unsigned char length[kMaxAlternatives];
    unsigned char bytes[kMaxAlternatives][kMaxBytes];
};

// A place at a fixed distance from a match's start, and the bytes that may stand there: those that equal
// `value` once the bits of `ignore` are set. The bytes of a character's case forms differ in few bits, so the
// test lets through a few bytes more than the forms' own at most, and the whole check sorts those out.
struct ScanAnchor {
    std::size_t offset;
    unsigned char ignore;
    unsigned char value;
};

// One form of the text: its characters, and the two places the vector compare looks at.
struct ScanForm {
    const ScanChar* chars;
    std::size_t n;
    ScanAnchor rare;
    ScanAnchor second;
};

struct ScanPlan {
    static constexpr std::size_t kMaxForms = 4;
    const ScanForm* forms;
    std::size_t count;
    std::size_t reach;  // the farthest anchor offset of any form
};

namespace {

// Whether the form matches at `at`, with `available` bytes from there on.
inline bool matchesAt(const ScanForm& form, const unsigned char* at, std::size_t available) {
    for (std::size_t k = 0; k < form.n; ++k) {
        const ScanChar& ch = form.chars[k];
        bool matched = false;
        for (int a = 0; a < ch.count && !matched; ++a) {
            const std::size_t length = ch.length[a];
            if (length > available) {
                continue;
            }
            matched = true;
            for (std::size_t i = 0; i < length && matched; ++i) {
                matched = at[i] == ch.bytes[a][i];
            }
            if (matched) {
                at += length;
                available -= length;
            }
        }
        if (!matched) {
            return false;
        }
    }
    return true;
}

inline bool anyFormMatchesAt(const ScanPlan& plan, const unsigned char* at, std::size_t available) {
    for (std::size_t f = 0; f < plan.count; ++f) {
        if (matchesAt(plan.forms[f], at, available)) {
            return true;
        }
    }
    return false;
}

// Vec supplies: type V, width, load, splat, bitOr, and the hit masks: equal (a Hits for each byte),
// both, either and bits (an integer with one bit for each byte).
template <typename Vec>
struct AnchorTest {
    AnchorTest() = default;
    explicit AnchorTest(const ScanAnchor& anchor)
        : offset(anchor.offset), ignore(Vec::splat(anchor.ignore)), value(Vec::splat(anchor.value)) {}
    typename Vec::Hits test(const unsigned char* at) const {
        return Vec::equal(Vec::bitOr(Vec::load(at + offset), ignore), value);
    }
    std::size_t offset = 0;
    typename Vec::V ignore{};
    typename Vec::V value{};
};

// The scan for a fixed number of forms, so their tests stay in registers. Places are tried in order, so the
// smallest start of any form is the one found.
template <typename Vec, std::size_t Forms>
std::ptrdiff_t scanForms(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                         std::size_t starts, std::size_t& start) {
    AnchorTest<Vec> rare[Forms];
    AnchorTest<Vec> second[Forms];
    for (std::size_t f = 0; f < Forms; ++f) {
        rare[f] = AnchorTest<Vec>(plan.forms[f].rare);
        second[f] = AnchorTest<Vec>(plan.forms[f].second);
    }
    std::size_t at = start;
    for (; at + Vec::width <= starts && at + Vec::width + plan.reach <= length; at += Vec::width) {
        typename Vec::Hits any = Vec::both(rare[0].test(bytes + at), second[0].test(bytes + at));
#pragma GCC unroll 4
        for (std::size_t f = 1; f < Forms; ++f) {
            any = Vec::either(any, Vec::both(rare[f].test(bytes + at), second[f].test(bytes + at)));
        }
        if (Vec::bits(any) == 0) {
            continue;  // by far the most common case: nothing else is kept for it
        }
        decltype(Vec::bits(any)) hits[Forms];
        for (std::size_t f = 0; f < Forms; ++f) {
            hits[f] = Vec::bits(Vec::both(rare[f].test(bytes + at), second[f].test(bytes + at)));
        }
        for (auto candidates = Vec::bits(any); candidates != 0; candidates &= candidates - 1) {
            const auto place = static_cast<unsigned>(__builtin_ctzll(candidates));
            const std::size_t candidate = at + place;
            for (std::size_t f = 0; f < Forms; ++f) {
                if ((hits[f] >> place & 1U) != 0 &&
                    matchesAt(plan.forms[f], bytes + candidate, length - candidate)) {
                    start = at;
                    return static_cast<std::ptrdiff_t>(candidate);
                }
            }
        }
    }
    start = at;
    return -1;
}

// First start, from `start` and below `starts`, of a match of any form lying wholly in the block, or -1;
// `start` is left where the vector part stopped when nothing was found.
template <typename Vec>
std::ptrdiff_t vectorScan(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                          std::size_t starts, std::size_t& start) {
    switch (plan.count) {
        case 1:
            return scanForms<Vec, 1>(plan, bytes, length, starts, start);
        case 2:
            return scanForms<Vec, 2>(plan, bytes, length, starts, start);
        case 3:
            return scanForms<Vec, 3>(plan, bytes, length, starts, start);
        default:
            return scanForms<Vec, ScanPlan::kMaxForms>(plan, bytes, length, starts, start);
    }
}

}  // namespace

// Defined in ScanAvx2.cpp and ScanAvx512.cpp; call only where the processor has AVX2, or AVX-512 with its
// byte instructions.
std::ptrdiff_t scanAvx2(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                        std::size_t starts, std::size_t& start);
std::ptrdiff_t scanAvx512(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                          std::size_t starts, std::size_t& start);
