// The RTF reader on arbitrary bytes after "{\rtf": any input ends in text, or Unreadable for groups nested
// too deep.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "documents/DocumentReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5 || std::memcmp(data, "{\\rtf", 5) != 0) {
        return 0;  // no RTF: another target reads it
    }
    readDocumentFromMemory(reinterpret_cast<const char*>(data), size, nullptr);
    return 0;
}
