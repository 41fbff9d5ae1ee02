#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

#include "platform/console.h"

namespace ptk::platform {
namespace {

bool leadsSomewhere(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void reachStartingConsole() {
    const bool output = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool errors = leadsSomewhere(STD_ERROR_HANDLE);
    if (output && errors) return;
    // Started from Explorer or a shortcut there is no console to reach, and nothing is printed.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!output && std::freopen("CONOUT$", "w", stdout) == nullptr) return;
    if (!errors) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace ptk::platform
