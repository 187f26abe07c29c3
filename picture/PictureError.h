#pragma once
// A picture that cannot be read or decoded; its text is the decoder's own and reaches the error box
// unchanged.

#include <stdexcept>
#include <string>

class PictureError : public std::runtime_error {
  public:
    explicit PictureError(const std::string& text) : std::runtime_error(text) {}
};
