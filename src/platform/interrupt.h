#pragma once

#include <atomic>
#include <cstdio>

namespace ptk::platform {

// Turns the console's interrupts into a stop request for as long as the object lives: Ctrl+C and
// SIGTERM on POSIX; Ctrl+C, Ctrl+Break and closing the console window on Windows. The first
// interrupt only sets stop, so the program can end its exchange and release the port; a second
// one ends the process the usual way, for a program that no longer listens. One watch at a time:
// the handlers are the process's.
class InterruptWatch {
public:
    explicit InterruptWatch(std::atomic<bool>& stop);
    ~InterruptWatch();

    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;
};

// Whether the stream writes to a terminal (and not to a file or a pipe).
bool isTerminal(std::FILE* stream);

// Has the console show the UTF-8 the program writes as it is: a Windows console reads its output
// in an OEM code page otherwise. Nothing to do on POSIX.
void useUtf8Console();

}  // namespace ptk::platform
