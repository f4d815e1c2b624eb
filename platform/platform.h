// The one seam between the program and its platform. On Windows it is the
// real <windows.h>; elsewhere it declares the few Windows names the program
// uses, implemented by our own stand-ins in platform/posix/. The file helpers
// at the bottom are ours on both sides.
#ifndef BMP2SPR_PLATFORM_H
#define BMP2SPR_PLATFORM_H

#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdint>

typedef std::uint32_t DWORD;
typedef int BOOL;
typedef unsigned int UINT;
typedef void *HANDLE;
typedef void *HWND;
typedef void *HINSTANCE;
typedef char *LPSTR;
typedef const char *LPCSTR;

#define WINAPI
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define MB_OK 0x00000000U
#define IDOK 1
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010U
#define FILE_ATTRIBUTE_DEVICE 0x00000040U
#define FILE_ATTRIBUTE_NORMAL 0x00000080U

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    char cFileName[MAX_PATH];
};

// Yields the entries of the current directory whose names end in the pattern's
// suffix (the pattern is "*" then a suffix), without regard to ASCII case.
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA *record);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA *record);
BOOL FindClose(HANDLE search);

// Prints "caption: text" as one line of UTF-8 on standard output and returns
// at once; both texts are code page 949.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);
#endif

// Shows a modal OK box with no owner; text and caption are code page 949.
void ShowMessageCp949(const char *text, const char *caption);

// Creates a new, empty file in the current directory under a name no other
// file has and that never matches "*.bmp", writes that name (at most
// nameSize bytes with its terminator) to name and returns the file open for
// binary writing, or nullptr. Its permissions are those of a plain create.
std::FILE *CreateTempFile(char *name, std::size_t nameSize);

// Puts the file from over the name to, replacing the entry (not what it links
// to) if there is one. Returns nonzero on success.
int ReplaceFileByName(const char *from, const char *to);

// Nonzero when both names denote the same entry by the platform's name rules.
int SameFileName(const char *a, const char *b);

#endif
