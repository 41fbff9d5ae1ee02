#include "settings/atomic_file.h"

#include <cstdio>
#include <memory>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ptk {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(fileno(file)) == 0;
#endif
}

bool writeAll(const std::filesystem::path& path, std::string_view content) {
    // Binary, so that the line feed stays one byte on every platform.
    FileHandle file(std::fopen(path.string().c_str(), "wb"));
    if (!file) return false;
    if (!content.empty() &&
        std::fwrite(content.data(), 1, content.size(), file.get()) != content.size()) {
        return false;
    }
    if (!flushToDisk(file.get())) return false;
    // fclose reports a write that only failed when the buffer went out.
    return std::fclose(file.release()) == 0;
}

}  // namespace

std::filesystem::path temporaryPathFor(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    return temporary;
}

bool replaceFileAtomically(const std::filesystem::path& path, std::string_view content) {
    const std::filesystem::path temporary = temporaryPathFor(path);
    std::error_code error;
    if (writeAll(temporary, content)) {
        std::filesystem::rename(temporary, path, error);
        if (!error) return true;
    }
    std::filesystem::remove(temporary, error);
    return false;
}

}  // namespace ptk
