#include "DeepChain.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

DeepChain::DeepChain(const std::string& root, int depth, const std::string& name, const std::string& bottom,
                     const std::string& bytes)
    : root_(root), name_(name), bottom_(bottom) {
    int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth; ++level) {
        EXPECT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
        const int below = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = below;
        path_ += "/" + name;
    }
    const int file = openat(fd, bottom.c_str(), O_WRONLY | O_CREAT, 0644);
    EXPECT_EQ(write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(file);
    close(fd);
}

DeepChain::~DeepChain() {
    removeBelow(open(root_.c_str(), O_RDONLY | O_DIRECTORY));
}

void DeepChain::removeBelow(int fd) {
    const int below = openat(fd, name_.c_str(), O_RDONLY | O_DIRECTORY);
    if (below >= 0) {
        removeBelow(below);
        unlinkat(fd, name_.c_str(), AT_REMOVEDIR);
    }
    unlinkat(fd, bottom_.c_str(), 0);
    close(fd);
}
