// Interrupts through a console control handler, which Windows calls on a thread of its own.

#include <io.h>
#include <windows.h>

#include "platform/interrupt.h"

namespace ptk::platform {
namespace {

std::atomic<std::atomic<bool>*> watchedFlag{nullptr};

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    std::atomic<bool>* flag = watchedFlag.load();
    // Not handled (FALSE) lets the next handler, in the end the default one, end the process:
    // so it goes when nothing watches, and for the second interrupt.
    if (flag == nullptr || flag->exchange(true)) return FALSE;
    return TRUE;
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& stop) {
    watchedFlag.store(&stop);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptWatch::~InterruptWatch() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    watchedFlag.store(nullptr);
}

bool isTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void useUtf8Console() {
    SetConsoleOutputCP(CP_UTF8);
}

}  // namespace ptk::platform
