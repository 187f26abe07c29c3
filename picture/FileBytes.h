#pragma once
// Reads a picture file whole, for one decode; the file is closed again before decoding starts.

#include <cstddef>
#include <memory>
#include <string>

// A file's bytes, in a buffer that is not cleared before the read fills it.
class FileBytes {
  public:
    FileBytes() = default;
    explicit FileBytes(std::size_t capacity) : bytes_(new unsigned char[capacity]) {}
    const unsigned char* data() const { return bytes_.get(); }
    unsigned char* data() { return bytes_.get(); }
    std::size_t size() const { return size_; }
    void setSize(std::size_t size) { size_ = size; }

  private:
    std::unique_ptr<unsigned char[]> bytes_;
    std::size_t size_ = 0;
};

// Throws FileError when the file cannot be opened or read, PictureError when it is larger than any picture
// the viewer decodes. Anything but a regular file (a FIFO, a device) reads as empty and is never opened.
FileBytes readPictureFile(const std::string& path);
