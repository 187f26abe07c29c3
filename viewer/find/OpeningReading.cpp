#include "viewer/find/OpeningReading.h"

#include <cstring>

#include "matching/ContentMatch.h"
#include "platform/files/InputFile.h"

namespace {

const unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
const unsigned char kUtf16leMark[] = {0xFF, 0xFE};

template <std::size_t N>
bool beginsWith(const unsigned char* head, std::size_t count, const unsigned char (&mark)[N]) {
    return count >= N && std::memcmp(head, mark, N) == 0;
}

std::optional<Reading> readingOfMark(const std::string& path) {
    const InputFile file(path);
    if (file.kind() != InputFile::Kind::Regular) {
        return std::nullopt;
    }
    unsigned char head[sizeof kUtf8Mark] = {};
    const std::size_t count = file.readAt(head, sizeof head, 0);
    if (beginsWith(head, count, kUtf8Mark)) {
        return Reading::Utf8;
    }
    if (beginsWith(head, count, kUtf16leMark)) {
        return Reading::Ucode;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Reading> openingReading(const std::string& path, const std::optional<TextToFind>& find,
                                      Reading shown, const std::function<bool()>& goOn) {
    if (!find || find->text.isEmpty()) {
        return readingOfMark(path).value_or(shown);
    }
    if (find->dos) {
        return Reading::Dos;
    }
    struct Candidate {
        Reading reading;
        TextEncoding encoding;
    };
    for (const Candidate candidate :
         {Candidate{Reading::Win, TextEncoding::Win1251}, Candidate{Reading::Utf8, TextEncoding::Utf8},
          Candidate{Reading::Ucode, TextEncoding::Utf16le}}) {
        const std::int64_t found = SearchFile(path, SearchText(find->text, {candidate.encoding}), 0, goOn);
        if (found == kSearchAbandoned) {
            return std::nullopt;
        }
        if (found >= 0) {
            return candidate.reading;
        }
    }
    return Reading::Win;
}
