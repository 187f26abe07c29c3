#pragma once
// Bytes shown in a text field. The field shows them as names are shown (ShownName) and they come back
// unchanged as long as the field still shows that text, so a path that is not valid UTF-8 survives being
// shown; text typed over it is taken as UTF-8.

#include <QString>
#include <string>

class KeptBytes {
  public:
    // Keeps `bytes` and returns the text the field shows for them.
    QString keep(const std::string& bytes);
    // The bytes for what the field shows now.
    std::string bytesFor(const QString& shown) const;

  private:
    std::string bytes_;
    QString shown_;
};
