// The file helpers over the Windows API and the Microsoft C runtime.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "platform/platform.h"

namespace {

constexpr int WideNameSize = MAX_PATH;

// The code page the A file functions read names in.
UINT FileNameCodePage()
{
    return AreFileApisANSI() ? CP_ACP : CP_OEMCP;
}

int WidenFileName(const char *name, wchar_t *wide)
{
    return MultiByteToWideChar(FileNameCodePage(), MB_ERR_INVALID_CHARS, name, -1, wide,
                               WideNameSize) > 0;
}

}  // namespace

std::FILE *CreateTempFile(char *name, std::size_t nameSize)
{
    static unsigned serial = 0;
    // The ".tmp" ending keeps it out of any "*.bmp" search, and so does the
    // "TMP" its 8.3 alias ends in.
    for (int attempt = 0; attempt < 100; attempt++) {
        int len = std::snprintf(name, nameSize, ".bmp2spr-%lu-%u.tmp",
                                static_cast<unsigned long>(GetCurrentProcessId()), serial++);
        if (len < 0 || static_cast<std::size_t>(len) >= nameSize)
            return nullptr;
        // _O_EXCL never opens an existing file; read and write leave it as
        // a plain create would, not read-only.
        int fd = _open(name, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return nullptr;
        }
        std::FILE *out = _fdopen(fd, "wb");
        if (out == nullptr) {
            _close(fd);
            _unlink(name);
        }
        return out;
    }
    return nullptr;
}

int ReplaceFileByName(const char *from, const char *to)
{
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

int SameFileName(const char *a, const char *b)
{
    // Compared as the file system does: by characters, upper-cased by the
    // system's table. Bytes compared alone would fold the trail bytes of
    // Korean characters as if they were letters.
    wchar_t wideA[WideNameSize];
    wchar_t wideB[WideNameSize];
    // A name that cannot be read is taken as the same, so the source is left
    // alone rather than risked.
    if (!WidenFileName(a, wideA) || !WidenFileName(b, wideB))
        return 1;
    return CompareStringOrdinal(wideA, -1, wideB, -1, TRUE) == CSTR_EQUAL;
}
