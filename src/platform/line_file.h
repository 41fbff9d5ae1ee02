#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ptk::platform {

// A file that whole lines are appended to, each with one write to the system, so that a program
// that is killed at any moment leaves every line it wrote complete. A file it creates is readable
// and writable by its owner only.
class LineFile {
public:
    // Opens path for appending, creating it when it is missing. A regular file that others may
    // read is made private to its owner. nullptr, with the system's reason in error, when the file
    // cannot be opened or made private.
    static std::unique_ptr<LineFile> open(const std::string& path, std::string& error);

    ~LineFile();
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    // Appends the bytes; false when the system refused them (a full disk, say).
    bool append(const char* text, std::size_t length);

private:
    explicit LineFile(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;  // a file descriptor, or a Win32 HANDLE
};

}  // namespace ptk::platform
