#pragma once
// The bytes of a document read at any offset, from a file or from memory, so every reader works on both.

#include <cstddef>
#include <cstdint>

class InputFile;

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Up to `length` bytes at `offset`; fewer only at the end. A file that cannot be read throws FileError.
    virtual std::size_t readAt(void* into, std::size_t length, std::uint64_t offset) const = 0;
};

class BytesInFile : public ByteSource {
  public:
    explicit BytesInFile(const InputFile& file) : file_(file) {}
    std::uint64_t size() const override;
    std::size_t readAt(void* into, std::size_t length, std::uint64_t offset) const override;

  private:
    const InputFile& file_;
};

class BytesInMemory : public ByteSource {
  public:
    BytesInMemory(const char* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t size() const override { return size_; }
    std::size_t readAt(void* into, std::size_t length, std::uint64_t offset) const override;

  private:
    const char* data_;
    std::size_t size_;
};
