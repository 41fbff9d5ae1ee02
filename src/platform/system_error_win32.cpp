#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/system_error.h"

namespace ptk::platform {

std::string lastSystemErrorText() {
    const DWORD error = GetLastError();
    wchar_t wide[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, wide, sizeof wide / sizeof wide[0], nullptr);
    if (length == 0) return "error " + std::to_string(error);
    // The system's texts end with a line break, which a message box does not need.
    DWORD end = length;
    while (end > 0 && (wide[end - 1] == L'\r' || wide[end - 1] == L'\n' || wide[end - 1] == L' '))
        --end;
    char utf8[2048] = {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(end), utf8,
                                          sizeof utf8, nullptr, nullptr);
    if (bytes <= 0) return "error " + std::to_string(error);
    return std::string(utf8, static_cast<std::size_t>(bytes));
}

}  // namespace ptk::platform
