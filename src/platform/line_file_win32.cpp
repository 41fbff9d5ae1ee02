// Lines appended with WriteFile to a file opened for appending only. A file created here gets a
// protected access list that lets its owner alone in.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h first: sddl.h needs its types.
#include <sddl.h>

#include "platform/line_file.h"

namespace ptk::platform {
namespace {

std::string systemMessage(DWORD code) {
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(code) : message;
}

// The security descriptor of a new file: a protected list that grants full access to the file's
// owner and nobody else.
class OwnerOnly {
public:
    OwnerOnly() {
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;OW)", SDDL_REVISION_1,
                                                             &descriptor_, nullptr);
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    ~OwnerOnly() {
        if (descriptor_) LocalFree(descriptor_);
    }
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;

    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace

std::unique_ptr<LineFile> LineFile::open(const std::string& path, std::string& error) {
    OwnerOnly security;
    const HANDLE file =
        CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, security.attributes(),
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = systemMessage(GetLastError());
        return nullptr;
    }
    return std::unique_ptr<LineFile>(new LineFile(reinterpret_cast<std::intptr_t>(file)));
}

LineFile::~LineFile() {
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool LineFile::append(const char* text, std::size_t length) {
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    while (length > 0) {
        DWORD written = 0;
        const DWORD chunk = length > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length);
        if (!WriteFile(file, text, chunk, &written, nullptr) || written == 0) return false;
        text += written;
        length -= written;
    }
    return true;
}

}  // namespace ptk::platform
