#include "platform/platform.h"

// The command line is not the program's business; WinMain's result is the
// exit status.
int main()
{
    return WinMain(nullptr, nullptr, nullptr, 0);
}
