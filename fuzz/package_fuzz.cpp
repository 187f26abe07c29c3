// The zip and XML path on arbitrary bytes: the central directory walk, libarchive with the inflate limits and
// the Office Open XML and OpenDocument parts. Any input ends in a status, never in a fault.
#include <cstddef>
#include <cstdint>

#include "documents/DocumentReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readDocumentFromMemory(reinterpret_cast<const char*>(data), size, nullptr);
    return 0;
}
