#pragma once
// The member names a zip's central directory lists, read without inflating anything, so a file is told to be
// a document (or not) before any of it is unpacked.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class ByteSource;

struct MemberList {
    std::vector<std::string> names;
    bool overLimit = false;  // more members than the limit; `names` holds the first ones
};

// Nothing when the file has no central directory that can be walked (not a whole zip).
std::optional<MemberList> listZipMembers(const ByteSource& bytes, std::size_t limit);
