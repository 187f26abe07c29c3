#include "platform/KeptBytes.h"

QString KeptBytes::keep(const std::string& bytes) {
    bytes_ = bytes;
    shown_ = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return shown_;
}

std::string KeptBytes::bytesFor(const QString& shown) const {
    return shown == shown_ ? bytes_ : shown.toStdString();
}
