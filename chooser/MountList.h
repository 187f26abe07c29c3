#pragma once
// The drives the folder chooser offers: the mounted file-system roots, "/" first, then the mount points of
// real file systems in byte order. Paths are bytes.

#include <string>
#include <string_view>
#include <vector>

// The roots named in the text of /proc/self/mountinfo: "/" always first, the others without pseudo file
// systems, duplicates or mounts inside /proc, /sys and /dev; mount points' octal escapes ("\040") decoded.
std::vector<std::string> parseMountInfo(std::string_view mountInfo);

// This machine's roots: parsed from /proc/self/mountinfo, keeping only those that are folders (a file can be
// mounted over a file, as containers do for /etc/hosts). Just "/" when the table cannot be read.
std::vector<std::string> mountedRoots();

// The root among `roots` that holds `folder`: the longest one that is `folder` or a folder above it.
std::string rootHolding(const std::vector<std::string>& roots, const std::string& folder);
