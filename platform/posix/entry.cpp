#include <csignal>

#include "platform/platform.h"

// The command line is not the program's business; WinMain's result is the
// exit status.
int main()
{
    // A reader that went away must not turn the run's end into a signal
    // death: the exit status is 0 whatever happened.
    std::signal(SIGPIPE, SIG_IGN);
    return WinMain(nullptr, nullptr, nullptr, 0);
}
