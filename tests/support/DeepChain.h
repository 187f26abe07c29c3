#pragma once
// A chain of folders made one below the other through descriptors, so its paths may grow past PATH_MAX, with
// one file at its bottom ("bottom.txt" holding "the needle" unless told); removed the same way.

#include <string>

class DeepChain {
  public:
    DeepChain(const std::string& root, int depth, const std::string& name,
              const std::string& bottom = "bottom.txt", const std::string& bytes = "the needle");
    ~DeepChain();
    DeepChain(const DeepChain&) = delete;
    DeepChain& operator=(const DeepChain&) = delete;

    std::string path(const std::string& below) const { return root_ + path_ + "/" + below; }
    std::string folder() const { return root_ + path_; }

  private:
    void removeBelow(int fd);

    std::string root_;
    std::string name_;
    std::string bottom_;
    std::string path_;
};
