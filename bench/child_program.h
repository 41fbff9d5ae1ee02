#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace ptk::bench {

// A program started in a working directory of its own with its output in a file, killed and
// reaped when the object goes.
class ChildProgram {
public:
    ChildProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                 const std::filesystem::path& workingDirectory, const std::filesystem::path& log,
                 const std::vector<std::string>& environment = {});
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Resident memory now and at its highest, in KiB, from /proc; 0 when unknown.
    long residentKiB() const;
    long peakResidentKiB() const;

private:
    pid_t pid_ = -1;
};

// Polls the file every 0.2 ms until it holds text; false when limit passes first.
bool waitForText(const std::filesystem::path& file, const std::string& text,
                 std::chrono::milliseconds limit);

std::string readWholeFile(const std::filesystem::path& path);

// A fresh scratch directory, removed with its content when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    void write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

}  // namespace ptk::bench
