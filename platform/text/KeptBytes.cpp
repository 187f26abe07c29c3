#include "platform/text/KeptBytes.h"

#include "platform/text/ShownName.h"

QString KeptBytes::keep(const std::string& bytes) {
    bytes_ = bytes;
    shown_ = shownName(bytes);
    return shown_;
}

std::string KeptBytes::bytesFor(const QString& shown) const {
    return shown == shown_ ? bytes_ : shown.toStdString();
}
