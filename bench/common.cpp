#include "bench/common.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

const unsigned char Magic[MagicSize] = {'G', 'X', 'X', 'B', 'K', 'I'};

namespace {

int IsSourceName(const char *name, std::size_t len)
{
    if (len < 5 || len >= NameSize)
        return 0;
    const char *tail = name + len - 4;
    if (tail[0] != '.')
        return 0;
    const char *want = "bmp";
    for (int i = 0; i < 3; i++) {
        char c = tail[i + 1];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != want[i])
            return 0;
    }
    return 1;
}

}  // namespace

long ForEachSource(SourceFn fn, void *context, long *count)
{
    *count = 0;
    DIR *dir = opendir(".");
    if (dir == nullptr)
        return -1;
    long failed = 0;
    for (;;) {
        struct dirent *d = readdir(dir);
        if (d == nullptr)
            break;
        std::size_t len = std::strlen(d->d_name);
        if (!IsSourceName(d->d_name, len))
            continue;
        // bmp2spr asks for each match's size and kind, so the limits do too.
        struct stat st;
        if (stat(d->d_name, &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        char target[NameSize];
        std::memcpy(target, d->d_name, len + 1);
        std::memcpy(target + len - 3, "spr", 3);
        ++*count;
        if (!fn(d->d_name, static_cast<std::size_t>(st.st_size), target, context))
            failed++;
    }
    if (closedir(dir) != 0)
        return -1;
    return failed;
}
