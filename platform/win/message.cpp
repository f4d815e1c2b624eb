// The message box, shown in Unicode so that the Korean texts read right
// whatever the system's ANSI code page is.
#include "platform/platform.h"

namespace {

constexpr UINT KoreanCodePage = 949;
constexpr int WideTextSize = 512;

// Converts code page 949 text into wide; 0 when it is not valid code page
// 949, does not fit, or the system lacks the code page.
int WidenCp949(const char *text, wchar_t *wide)
{
    int n = MultiByteToWideChar(KoreanCodePage, MB_ERR_INVALID_CHARS, text, -1, wide, WideTextSize);
    return n > 0;
}

}  // namespace

void ShowMessageCp949(const char *text, const char *caption)
{
    wchar_t wideText[WideTextSize];
    wchar_t wideCaption[WideTextSize];
    if (WidenCp949(text, wideText) && WidenCp949(caption, wideCaption)) {
        MessageBoxW(nullptr, wideText, wideCaption, MB_OK);
        return;
    }
    MessageBoxA(nullptr, text, caption, MB_OK);
}
