#include "platform/CommandLine.h"

#include <QFile>
#include <cstring>

namespace {

std::vector<std::string>& kept() {
    static std::vector<std::string> bytes;
    return bytes;
}

}  // namespace

CommandLineRequest readCommandLine(int argc, char** argv) {
    CommandLineRequest request;
    request.toolkitCount = argc;
    for (int at = 1; at < argc; ++at) {
        if (std::strcmp(argv[at], "--") == 0) {
            request.toolkitCount = at;
            request.afterOptions.assign(argv + at + 1, argv + argc);
            break;
        }
        if (request.action == CommandLineRequest::Action::Run) {
            if (std::strcmp(argv[at], "--help") == 0) {
                request.action = CommandLineRequest::Action::Usage;
            } else if (std::strcmp(argv[at], "--version") == 0) {
                request.action = CommandLineRequest::Action::Version;
            }
        }
    }
    return request;
}

QStringList keepArguments(const std::vector<std::string>& bytes) {
    kept() = bytes;
    QStringList arguments;
    for (const std::string& argument : bytes) {
        arguments.append(QFile::decodeName(QByteArray::fromStdString(argument)));
    }
    return arguments;
}

std::string argumentBytes(const QStringList& arguments, int index) {
    const QString& text = arguments.at(index);
    const auto at = static_cast<std::size_t>(index);
    if (at < kept().size() && QFile::decodeName(QByteArray::fromStdString(kept()[at])) == text) {
        return kept()[at];
    }
    return text.toStdString();
}
