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

// A place at a fixed distance from a match's start and the bytes that may stand there.
struct ScanAnchor {
    static constexpr int kMaxValues = 4;
    std::size_t offset;
    unsigned char count;
    unsigned char values[kMaxValues];
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

// Vec supplies: type V, width, load, splat, eq, bitOr, bitAnd, movemask.
template <typename Vec>
struct AnchorTest {
    AnchorTest() = default;
    explicit AnchorTest(const ScanAnchor& anchor) : offset(anchor.offset), count(anchor.count) {
        const unsigned char differ = anchor.values[0] ^ anchor.values[count > 1 ? 1 : 0];
        // Most letter pairs differ in one bit: one compare does.
        singleBit = count == 2 && (differ & (differ - 1)) == 0;
        bit = Vec::splat(singleBit ? differ : 0);
        for (int i = 0; i < ScanAnchor::kMaxValues; ++i) {
            const unsigned char value = anchor.values[i < count ? i : 0];
            values[i] = Vec::splat(singleBit && i == 0 ? (value | differ) : value);
        }
    }
    typename Vec::V test(const unsigned char* at) const {
        const typename Vec::V chunk = Vec::load(at + offset);
        if (singleBit) {
            return Vec::eq(Vec::bitOr(chunk, bit), values[0]);
        }
        typename Vec::V hits = Vec::eq(chunk, values[0]);
        for (int i = 1; i < count; ++i) {
            hits = Vec::bitOr(hits, Vec::eq(chunk, values[i]));
        }
        return hits;
    }
    std::size_t offset = 0;
    int count = 0;
    bool singleBit = false;
    typename Vec::V bit{};
    typename Vec::V values[ScanAnchor::kMaxValues]{};
};

// First start, from `start` and below `starts`, of a match of any form lying wholly in the block, or -1;
// `start` is left where the vector part stopped when nothing was found. Places are tried in order, so the
// smallest start of any form is the one found.
template <typename Vec>
std::ptrdiff_t vectorScan(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                          std::size_t starts, std::size_t& start) {
    AnchorTest<Vec> rare[ScanPlan::kMaxForms];
    AnchorTest<Vec> second[ScanPlan::kMaxForms];
    for (std::size_t f = 0; f < plan.count; ++f) {
        rare[f] = AnchorTest<Vec>(plan.forms[f].rare);
        second[f] = AnchorTest<Vec>(plan.forms[f].second);
    }
    for (; start + Vec::width <= starts && start + Vec::width + plan.reach <= length; start += Vec::width) {
        unsigned masks[ScanPlan::kMaxForms];
        unsigned any = 0;
        for (std::size_t f = 0; f < plan.count; ++f) {
            masks[f] = Vec::movemask(Vec::bitAnd(rare[f].test(bytes + start), second[f].test(bytes + start)));
            any |= masks[f];
        }
        for (; any != 0; any &= any - 1) {
            const unsigned place = static_cast<unsigned>(__builtin_ctz(any));
            const std::size_t candidate = start + place;
            for (std::size_t f = 0; f < plan.count; ++f) {
                if ((masks[f] >> place & 1U) != 0 &&
                    matchesAt(plan.forms[f], bytes + candidate, length - candidate)) {
                    return static_cast<std::ptrdiff_t>(candidate);
                }
            }
        }
    }
    return -1;
}

}  // namespace

// Defined in ScanAvx2.cpp; call only where the processor has AVX2.
std::ptrdiff_t scanAvx2(const ScanPlan& plan, const unsigned char* bytes, std::size_t length,
                        std::size_t starts, std::size_t& start);
