#include "matching/TextScanner.h"

#include <QChar>
#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// How often a byte tends to occur in Russian and English documents in any of the encodings files hold:
// blanks and line ends, then every letter by how common it is, counted in each of its encodings' bytes. So
// the UTF-8 lead bytes of Cyrillic and the UTF-16 high bytes rank high, and the scan avoids them.
const std::array<int, 256>& byteCommonness() {
    static const std::array<int, 256> table = [] {
        std::array<int, 256> counts{};
        const auto add = [&counts](char32_t ch, int weight) {
            for (const TextEncoding encoding :
                 {TextEncoding::Win1251, TextEncoding::Cp866, TextEncoding::Utf8, TextEncoding::Utf16le}) {
                if (const auto bytes = encodeCharacter(ch, encoding)) {
                    for (const char byte : *bytes) {
                        counts[static_cast<unsigned char>(byte)] += weight;
                    }
                }
            }
        };
        // Lower-case letters from the most common; capitals are about a tenth as common.
        for (const std::u32string& letters : {std::u32string(U"оеаинтсрвлкмдпуяыьгзбчйхжшюцщэфъё"),
                                              std::u32string(U"etaoinshrdlcumwfgypbvkjxqz")}) {
            for (std::size_t rank = 0; rank < letters.size(); ++rank) {
                const int weight = 40 - static_cast<int>(rank);
                add(letters[rank], weight);
                add(QChar::toUpper(letters[rank]), weight / 10);
            }
        }
        add(U' ', 150);
        add(U'\n', 20);
        add(U'\r', 10);
        add(U'\t', 10);
        for (const char32_t ch : std::u32string(U"0123456789.,")) {
            add(ch, 10);
        }
        return counts;
    }();
    return table;
}

struct Place {
    ScanAnchor anchor;
    int score;
};

// The anchor for the bytes a place may hold, scored by how common every byte it lets through is.
Place placeFor(std::size_t offset, const ScanChar& ch, std::size_t index) {
    Place place{{offset, 0, 0}, 0};
    for (int a = 0; a < ch.count; ++a) {
        place.anchor.ignore |= ch.bytes[a][index] ^ ch.bytes[0][index];
    }
    place.anchor.value = ch.bytes[0][index] | place.anchor.ignore;
    for (int byte = 0; byte < 256; ++byte) {
        if ((byte | place.anchor.ignore) == place.anchor.value) {
            place.score += byteCommonness()[byte];
        }
    }
    return place;
}

// The places at a fixed distance from a match's start: up to and into the first character whose byte
// sequences differ in length, whose later bytes may belong to the next character.
std::vector<Place> fixedPlaces(const std::vector<ScanChar>& chars) {
    std::vector<Place> places;
    std::size_t offset = 0;
    for (const ScanChar& ch : chars) {
        const auto [shortest, longest] = std::minmax_element(ch.length, ch.length + ch.count);
        for (std::size_t i = 0; i < *shortest; ++i) {
            places.push_back(placeFor(offset + i, ch, i));
        }
        if (*shortest != *longest) {
            break;
        }
        offset += *shortest;
    }
    return places;
}

// The form's characters and its two rarest-looking places; a form with one place uses it twice.
ScanForm planForm(const std::vector<ScanChar>& chars) {
    const std::vector<Place> places = fixedPlaces(chars);
    const auto byScore = [](const Place& a, const Place& b) { return a.score < b.score; };
    const auto rare = std::min_element(places.begin(), places.end(), byScore);
    auto second = rare;
    for (auto place = places.begin(); place != places.end(); ++place) {
        if (place != rare && (second == rare || place->score < second->score)) {
            second = place;
        }
    }
    return ScanForm{chars.data(), chars.size(), rare->anchor, second->anchor};
}

std::vector<ScanChar> scanChars(const TextForm& form, std::size_t& shortest, std::size_t& longest) {
    std::vector<ScanChar> chars;
    shortest = 0;
    longest = 0;
    for (const CharacterForms& forms : form) {
        ScanChar ch{};
        std::size_t fewest = ScanChar::kMaxBytes;
        for (const std::string& bytes : forms) {
            const int a = ch.count++;
            ch.length[a] = static_cast<unsigned char>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), ch.bytes[a]);
            fewest = std::min(fewest, bytes.size());
        }
        shortest += fewest;
        longest += *std::max_element(ch.length, ch.length + ch.count);
        chars.push_back(ch);
    }
    return chars;
}

#if defined(__SSE2__)
struct Sse2 {
    using V = __m128i;
    using Hits = __m128i;
    static constexpr std::size_t width = 16;
    static V load(const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
    static V splat(unsigned char value) { return _mm_set1_epi8(static_cast<char>(value)); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    static Hits equal(V a, V b) { return _mm_cmpeq_epi8(a, b); }
    static Hits both(Hits a, Hits b) { return _mm_and_si128(a, b); }
    static Hits either(Hits a, Hits b) { return _mm_or_si128(a, b); }
    static unsigned bits(Hits a) { return static_cast<unsigned>(_mm_movemask_epi8(a)); }
};
#endif

enum class Wide { None, Avx2, Avx512 };

Wide widestVectors() {
#if defined(__x86_64__) || defined(__i386__)
    static const Wide widest = __builtin_cpu_supports("avx512bw") ? Wide::Avx512
                               : __builtin_cpu_supports("avx2")   ? Wide::Avx2
                                                                  : Wide::None;
    return widest;
#else
    return Wide::None;
#endif
}

}  // namespace

TextScanner::TextScanner(const std::vector<TextForm>& forms) {
    for (const TextForm& form : forms) {
        if (form.empty() || forms_.size() == ScanPlan::kMaxForms) {
            continue;
        }
        std::size_t shortest = 0;
        std::size_t longest = 0;
        chars_.push_back(scanChars(form, shortest, longest));
        forms_.push_back(planForm(chars_.back()));
        reach_ = std::max({reach_, forms_.back().rare.offset, forms_.back().second.offset});
        shortest_ = forms_.size() == 1 ? shortest : std::min(shortest_, shortest);
        longest_ = std::max(longest_, longest);
    }
}

std::ptrdiff_t TextScanner::find(const char* block, std::size_t length, std::size_t starts) const {
    if (forms_.empty()) {
        return -1;
    }
    starts = std::min(starts, length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(block);
    const ScanPlan plan{forms_.data(), forms_.size(), reach_};
    std::size_t start = 0;
    std::ptrdiff_t found = -1;
    if (widestVectors() == Wide::Avx512) {
        found = scanAvx512(plan, bytes, length, starts, start);
    } else if (widestVectors() == Wide::Avx2) {
        found = scanAvx2(plan, bytes, length, starts, start);
    }
#if defined(__SSE2__)
    if (found < 0) {
        found = vectorScan<Sse2>(plan, bytes, length, starts, start);
    }
#endif
    // The last few starts, too close to the end for a whole vector.
    for (; found < 0 && start < starts; ++start) {
        if (anyFormMatchesAt(plan, bytes + start, length - start)) {
            found = static_cast<std::ptrdiff_t>(start);
        }
    }
    return found;
}
