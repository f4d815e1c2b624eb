// Directory search over readdir, in the order the directory gives.
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

struct Search {
    DIR *dir;
    char suffix[MAX_PATH];
};

int EndsWithNoCase(const char *name, const char *suffix)
{
    std::size_t n = std::strlen(name);
    std::size_t s = std::strlen(suffix);
    if (n < s)
        return 0;
    const char *tail = name + n - s;
    for (std::size_t i = 0; i < s; i++) {
        unsigned char a = static_cast<unsigned char>(tail[i]);
        unsigned char b = static_cast<unsigned char>(suffix[i]);
        if (a >= 'A' && a <= 'Z')
            a = static_cast<unsigned char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<unsigned char>(b - 'A' + 'a');
        if (a != b)
            return 0;
    }
    return 1;
}

void FillRecord(const char *name, WIN32_FIND_DATAA *record)
{
    std::memcpy(record->cFileName, name, std::strlen(name) + 1);
    record->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    record->nFileSizeHigh = 0;
    record->nFileSizeLow = 0;
    struct stat st;
    // A dangling link is listed as an empty file; opening it then fails.
    if (stat(name, &st) != 0)
        return;
    if (S_ISDIR(st.st_mode))
        record->dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    else if (!S_ISREG(st.st_mode))
        record->dwFileAttributes = FILE_ATTRIBUTE_DEVICE;
    unsigned long long size = static_cast<unsigned long long>(st.st_size);
    record->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    record->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFULL);
}

// Moves to the next matching entry; 0 when none is left or on error.
int NextMatch(Search *search, WIN32_FIND_DATAA *record)
{
    for (;;) {
        struct dirent *d = readdir(search->dir);
        if (d == nullptr)
            return 0;
        const char *name = d->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (std::strlen(name) >= MAX_PATH || !EndsWithNoCase(name, search->suffix))
            continue;
        FillRecord(name, record);
        return 1;
    }
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA *record)
{
    // Only the "*suffix" patterns the program uses are understood.
    if (pattern == nullptr || record == nullptr || pattern[0] != '*' ||
        std::strchr(pattern + 1, '*') != nullptr || std::strchr(pattern, '/') != nullptr ||
        std::strlen(pattern) > MAX_PATH) {
        errno = EINVAL;
        return INVALID_HANDLE_VALUE;
    }
    Search *search = static_cast<Search *>(std::malloc(sizeof *search));
    if (search == nullptr)
        return INVALID_HANDLE_VALUE;
    std::snprintf(search->suffix, sizeof search->suffix, "%s", pattern + 1);
    search->dir = opendir(".");
    if (search->dir == nullptr) {
        std::free(search);
        return INVALID_HANDLE_VALUE;
    }
    if (!NextMatch(search, record)) {
        closedir(search->dir);
        std::free(search);
        return INVALID_HANDLE_VALUE;
    }
    return search;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA *record)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || record == nullptr)
        return 0;
    return NextMatch(static_cast<Search *>(handle), record);
}

BOOL FindClose(HANDLE handle)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return 0;
    Search *search = static_cast<Search *>(handle);
    int rc = closedir(search->dir);
    std::free(search);
    return rc == 0;
}
