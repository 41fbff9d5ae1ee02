// Lines appended with write(2) to a file opened with O_APPEND: each line lands whole, and a line
// written is in the system's hands even when the program dies right after.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/line_file.h"

namespace ptk::platform {

std::unique_ptr<LineFile> LineFile::open(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    // An existing file keeps the permissions it had; one that others may read is taken private,
    // or refused when it is not ours to change. Devices and pipes are left as they are.
    struct stat info {};
    if (::fstat(fd, &info) != 0 ||
        (S_ISREG(info.st_mode) && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0 &&
         ::fchmod(fd, S_IRUSR | S_IWUSR) != 0)) {
        error = std::string("cannot make it readable by its owner only: ") + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<LineFile>(new LineFile(fd));
}

LineFile::~LineFile() {
    ::close(static_cast<int>(handle_));
}

bool LineFile::append(const char* text, std::size_t length) {
    const int fd = static_cast<int>(handle_);
    while (length > 0) {
        const ssize_t written = ::write(fd, text, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace ptk::platform
