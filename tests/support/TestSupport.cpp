#include "TestSupport.h"

#include <sys/stat.h>

#include <QTest>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempTree::TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
    std::filesystem::permissions(
        root_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                   std::filesystem::perms::others_exec);
}

TempTree::~TempTree() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempTree::file(const std::string& relative, const std::string& bytes) {
    const std::string full = path(relative);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string TempTree::folder(const std::string& relative) {
    const std::string full = path(relative);
    std::filesystem::create_directories(full);
    return full;
}

void asUnprivileged(const std::function<void()>& action) {
    constexpr uid_t kNobody = 65534;
    const bool root = geteuid() == 0;
    if (root && seteuid(kNobody) != 0) {
        throw std::runtime_error("seteuid failed");
    }
    try {
        action();
    } catch (...) {
        if (root && seteuid(0) != 0) {
            std::terminate();
        }
        throw;
    }
    if (root && seteuid(0) != 0) {
        std::terminate();
    }
}

StandInPrograms::StandInPrograms() : savedPath_(qgetenv("PATH")) {
    qputenv("PATH", QByteArray::fromStdString(folder_.root()) + ":" + savedPath_);
}

StandInPrograms::~StandInPrograms() {
    qputenv("PATH", savedPath_);
}

// The record holds, for each call, the number of arguments on a line and then each argument on its own line;
// a call is appended in one write, so a reader never sees half of it.
std::string StandInPrograms::add(const std::string& name, int exitCode) {
    const std::string record = folder_.path(name + ".calls");
    const std::string program = folder_.file(
        name,
        "#!/bin/sh\nrecord='" + record +
            "'\n"
            "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$record.$$\"\n"
            "cat \"$record.$$\" >> \"$record\"; rm -f \"$record.$$\"\n"
            "exit " +
            std::to_string(exitCode) + "\n");
    chmod(program.c_str(), 0755);
    return program;
}

std::vector<std::vector<std::string>> StandInPrograms::calls(const std::string& name) const {
    std::ifstream record(folder_.path(name + ".calls"), std::ios::binary);
    std::vector<std::vector<std::string>> result;
    std::string line;
    while (std::getline(record, line)) {
        std::vector<std::string>& call = result.emplace_back();
        for (int left = std::stoi(line); left > 0 && std::getline(record, line); --left) {
            call.push_back(line);
        }
    }
    return result;
}

bool StandInPrograms::waitForCalls(const std::string& name, std::size_t count) const {
    return QTest::qWaitFor([&] { return calls(name).size() >= count; }, 10000);
}
