#include "platform/CommandLine.h"

#include <vector>

namespace {

std::vector<std::string>& kept() {
    static std::vector<std::string> bytes;
    return bytes;
}

}  // namespace

void keepArgumentBytes(int argc, char** argv) {
    kept().assign(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string argumentBytes(const QStringList& arguments, int index) {
    const QString& text = arguments.at(index);
    const auto at = static_cast<std::size_t>(index);
    if (at < kept().size() && QString::fromLocal8Bit(kept()[at]) == text) {
        return kept()[at];
    }
    return text.toStdString();
}
