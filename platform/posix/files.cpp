#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

std::FILE *CreateTempFile(char *name, std::size_t nameSize)
{
    static unsigned serial = 0;
    // The ".tmp" ending keeps it out of any "*.bmp" search.
    for (int attempt = 0; attempt < 100; attempt++) {
        int len = std::snprintf(name, nameSize, ".bmp2spr-%ld-%u.tmp", static_cast<long>(getpid()),
                                serial++);
        if (len < 0 || static_cast<std::size_t>(len) >= nameSize)
            return nullptr;
        // O_EXCL never opens an existing file or follows a link; 0666 leaves
        // the permissions to the umask, as a plain create would.
        int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return nullptr;
        }
        std::FILE *out = fdopen(fd, "wb");
        if (out == nullptr) {
            close(fd);
            unlink(name);
        }
        return out;
    }
    return nullptr;
}

int ReplaceFileByName(const char *from, const char *to)
{
    return rename(from, to) == 0;
}

int SameFileName(const char *a, const char *b)
{
    return std::strcmp(a, b) == 0;
}
