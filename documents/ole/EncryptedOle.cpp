#include "documents/ole/EncryptedOle.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "documents/ByteSource.h"

namespace {

constexpr std::size_t kHeaderSize = 512;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr std::size_t kHeaderFatSectors = 109;
constexpr std::size_t kEntrySize = 128;
// A directory longer than this is no Office file's, and a chain longer than this is a loop.
constexpr int kMostDirectorySectors = 4096;
constexpr int kMostDifatSectors = 4096;

std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24);
}

class CompoundFile {
  public:
    CompoundFile(const ByteSource& bytes, const unsigned char* header, unsigned shift)
        : bytes_(bytes), header_(header), sectorSize_(std::size_t{1} << shift) {}

    std::size_t sectorSize() const { return sectorSize_; }

    // The sector's bytes, or nothing when it lies outside the file.
    std::optional<std::vector<unsigned char>> sector(std::uint32_t number) const {
        if (number > kLastRegularSector) {
            return std::nullopt;
        }
        std::vector<unsigned char> data(sectorSize_);
        const std::uint64_t offset = (std::uint64_t{number} + 1) * sectorSize_;
        if (bytes_.readAt(data.data(), data.size(), offset) != data.size()) {
            return std::nullopt;
        }
        return data;
    }

    // The sector after `number` in its chain, looked up in the allocation table through the header's list of
    // table sectors and the chain of further lists.
    std::optional<std::uint32_t> next(std::uint32_t number) const {
        const std::size_t perSector = sectorSize_ / 4;
        std::size_t tableIndex = number / perSector;
        std::uint32_t tableSector = 0;
        if (tableIndex < kHeaderFatSectors) {
            tableSector = le32(header_ + 0x4C + 4 * tableIndex);
        } else {
            tableIndex -= kHeaderFatSectors;
            std::uint32_t list = le32(header_ + 0x44);
            for (int hops = 0;; ++hops) {
                const auto data = sector(list);
                if (!data || hops == kMostDifatSectors) {
                    return std::nullopt;
                }
                if (tableIndex < perSector - 1) {
                    tableSector = le32(data->data() + 4 * tableIndex);
                    break;
                }
                tableIndex -= perSector - 1;
                list = le32(data->data() + sectorSize_ - 4);
            }
        }
        const auto table = sector(tableSector);
        if (!table) {
            return std::nullopt;
        }
        return le32(table->data() + 4 * (number % perSector));
    }

  private:
    const ByteSource& bytes_;
    const unsigned char* header_;
    std::size_t sectorSize_;
};

bool namesEncryptedPackage(const unsigned char* entry) {
    static const char16_t kName[] = u"EncryptedPackage";
    const std::size_t nameBytes = entry[0x40] | (entry[0x41] << 8);
    if (entry[0x42] != 2 || nameBytes != sizeof kName) {  // a stream, its name with the terminating zero
        return false;
    }
    for (std::size_t i = 0; i + 1 < sizeof kName / 2; ++i) {
        if ((entry[2 * i] | (entry[2 * i + 1] << 8)) != kName[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool holdsEncryptedPackage(const ByteSource& bytes) {
    unsigned char header[kHeaderSize];
    if (bytes.readAt(header, kHeaderSize, 0) != kHeaderSize ||
        std::memcmp(header, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) != 0) {
        return false;
    }
    const unsigned shift = header[0x1E] | (header[0x1F] << 8);
    if (shift != 9 && shift != 12) {
        return false;
    }
    const CompoundFile file(bytes, header, shift);
    std::optional<std::uint32_t> sectorNumber = le32(header + 0x30);
    for (int walked = 0; sectorNumber && walked < kMostDirectorySectors; ++walked) {
        const auto directory = file.sector(*sectorNumber);
        if (!directory) {
            return false;
        }
        for (std::size_t at = 0; at + kEntrySize <= directory->size(); at += kEntrySize) {
            if (namesEncryptedPackage(directory->data() + at)) {
                return true;
            }
        }
        sectorNumber = file.next(*sectorNumber);
    }
    return false;
}
