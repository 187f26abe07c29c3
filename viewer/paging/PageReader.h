#pragma once
// Reads the bytes of one page (or of a whole small file) for the viewer: the file is opened for that read
// alone and closed again. Only a regular file is opened; a FIFO, socket or device reads as empty.

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/render/PageBytes.h"

// Reads up to `count` bytes at `offset` into `into` and returns how many were read (fewer when the file has
// shrunk). Throws FileError, with the file's name and the system's reason, when the path names no file, names
// a folder, or the file cannot be opened or read.
std::size_t readViewedBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                            unsigned char* into);

// Reads the page of up to `count` bytes at `offset` with up to kCutCharacterBytes more on either side (none
// before the file's start, fewer at its end) into `into`, which holds count + 2 * kCutCharacterBytes bytes.
// Throws as readViewedBytes does.
PageBytes readPageBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                        unsigned char* into);

// Throws FileError as readViewedBytes does when the path names no file, names a folder, or the file cannot be
// opened; the search in the file looks first, so a file it cannot search is reported and not "not found".
void requireViewable(const std::string& path);
