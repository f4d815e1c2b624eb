// Test-only console helper, run under Wine in the prefix bmp2spr.exe runs in:
//   winhelper box MS [keep]  waits up to MS ms for the message box of another
//                            process, prints it in UTF-8, then presses OK
//                            unless "keep" is given
//   winhelper press MS       presses OK on that box and waits up to MS ms for
//                            it to close
//   winhelper find PATTERN   prints what FindFirstFileA/FindNextFileA yield
// Exits 0 on success, 1 on a usage error, 2 when no box came or it stayed.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr int TextSize = 1024;
constexpr DWORD PollMs = 20;

struct BoxSearch {
    DWORD self;
    HWND box;
};

int HasClass(HWND window, const wchar_t *name)
{
    wchar_t found[64];
    return GetClassNameW(window, found, 64) > 0 && std::wcscmp(found, name) == 0;
}

BOOL CALLBACK TestTopWindow(HWND window, LPARAM param)
{
    BoxSearch *search = reinterpret_cast<BoxSearch *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // A box of our own process would be a fault of the helper, not the program.
    if (owner == search->self || !IsWindowVisible(window) || !HasClass(window, L"#32770"))
        return TRUE;
    search->box = window;
    return FALSE;
}

// The visible dialog of another process, or nullptr once ms have passed.
HWND WaitForBox(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        BoxSearch search = {GetCurrentProcessId(), nullptr};
        EnumWindows(TestTopWindow, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr)
            return search.box;
        if (GetTickCount() - start >= ms)
            return nullptr;
        Sleep(PollMs);
    }
}

void PrintField(const char *key, const wchar_t *value)
{
    char utf8[TextSize * 3];
    int n = WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, nullptr, nullptr);
    if (n <= 0)
        std::strcpy(utf8, "<not convertible>");
    std::printf("%s=%s\n", key, utf8);
}

void PrintWindowText(const char *key, HWND window)
{
    wchar_t text[TextSize];
    if (GetWindowTextW(window, text, TextSize) <= 0)
        text[0] = L'\0';
    PrintField(key, text);
}

struct Controls {
    int buttons;
};

// Prints every static control that holds text and counts the visible buttons.
BOOL CALLBACK PrintControl(HWND child, LPARAM param)
{
    Controls *controls = reinterpret_cast<Controls *>(param);
    if (HasClass(child, L"Button") && IsWindowVisible(child))
        controls->buttons++;
    if (HasClass(child, L"Static") && GetWindowTextLengthW(child) > 0)
        PrintWindowText("text", child);
    return TRUE;
}

void PrintBox(HWND box)
{
    PrintWindowText("caption", box);
    Controls controls = {0};
    EnumChildWindows(box, PrintControl, reinterpret_cast<LPARAM>(&controls));
    HWND ok = GetDlgItem(box, IDOK);
    std::printf("buttons=%d\nok=%d\n", controls.buttons, ok != nullptr && IsWindowVisible(ok));
    RECT rect;
    if (GetWindowRect(box, &rect))
        std::printf("rect=%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top);
    std::fflush(stdout);
}

// Clicks OK as the button itself would, then waits for the box to go.
int PressOk(HWND box, DWORD ms)
{
    HWND ok = GetDlgItem(box, IDOK);
    if (!PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok)))
        return 2;
    DWORD start = GetTickCount();
    while (IsWindow(box) && IsWindowVisible(box)) {
        if (GetTickCount() - start >= ms)
            return 2;
        Sleep(PollMs);
    }
    return 0;
}

int ListFound(const char *pattern)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do
        std::printf("%s\t%#lx\n", entry.cFileName, entry.dwFileAttributes);
    while (FindNextFileA(search, &entry));
    FindClose(search);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    // UTF-8 goes out as it is, without CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc >= 3 && std::strcmp(argv[1], "find") == 0)
        return ListFound(argv[2]);
    if (argc < 3)
        return 1;
    DWORD ms = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    if (std::strcmp(argv[1], "box") == 0) {
        HWND box = WaitForBox(ms);
        if (box == nullptr)
            return 2;
        PrintBox(box);
        if (argc >= 4 && std::strcmp(argv[3], "keep") == 0)
            return 0;
        return PressOk(box, ms);
    }
    if (std::strcmp(argv[1], "press") == 0) {
        HWND box = WaitForBox(ms);
        if (box == nullptr)
            return 2;
        return PressOk(box, ms);
    }
    return 1;
}
