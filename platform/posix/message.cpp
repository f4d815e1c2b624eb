// The message box as one line on standard output, in UTF-8.
#include <iconv.h>

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace {

// Writes text to out in UTF-8; falls back to the bytes as they are when the
// conversion cannot be had or the text is not valid code page 949.
void PutCp949(const char *text, std::FILE *out)
{
    std::size_t inLeft = std::strlen(text);
    char utf8[1024];
    iconv_t cd = iconv_open("UTF-8", "CP949");
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        char *in = const_cast<char *>(text);
        char *outPtr = utf8;
        std::size_t outLeft = sizeof utf8;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        iconv_close(cd);
        if (rc != static_cast<std::size_t>(-1) && inLeft == 0) {
            std::fwrite(utf8, 1, sizeof utf8 - outLeft, out);
            return;
        }
        inLeft = std::strlen(text);
    }
    std::fwrite(text, 1, inLeft, out);
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    (void)owner;
    (void)type;
    PutCp949(caption != nullptr ? caption : "", stdout);
    std::fputs(": ", stdout);
    PutCp949(text != nullptr ? text : "", stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return IDOK;
}

void ShowMessageCp949(const char *text, const char *caption)
{
    MessageBoxA(nullptr, text, caption, MB_OK);
}
