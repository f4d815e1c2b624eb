#include <cstdio>

#include "app/texts.h"
#include "platform/platform.h"
#include "spr/convert.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showState;

    ConvertedCount = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(SearchPattern, &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ConvertFile(&entry);
        while (FindNextFileA(search, &entry));
        FindClose(search);
    }

    if (ConvertedCount > 0) {
        char message[256];
        std::snprintf(message, sizeof message, CountMessageFormat, ConvertedCount);
        ShowMessageCp949(message, MessageCaption);
    } else {
        ShowMessageCp949(NoFilesMessage, MessageCaption);
    }
    return 0;
}
