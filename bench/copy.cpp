// The copy limits: bmp2spr's work less the encoding. "safe" writes a new
// file beside the target and renames it over, as bmp2spr does; "plain"
// writes straight through the target.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/common.h"

namespace {

unsigned char *Load(const char *name, std::size_t n)
{
    std::FILE *in = std::fopen(name, "rb");
    if (in == nullptr)
        return nullptr;
    unsigned char *image = static_cast<unsigned char *>(std::malloc(n + MagicSize));
    if (image != nullptr && std::fread(image + MagicSize, 1, n, in) != n) {
        std::free(image);
        image = nullptr;
    }
    std::fclose(in);
    return image;
}

std::FILE *CreateTemp(char *temp)
{
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; attempt++) {
        int len = std::snprintf(temp, NameSize, ".copy-%ld-%u.tmp", static_cast<long>(getpid()),
                                serial++);
        if (len < 0 || static_cast<std::size_t>(len) >= NameSize)
            return nullptr;
        int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            continue;
        std::FILE *out = fdopen(fd, "wb");
        if (out == nullptr) {
            close(fd);
            unlink(temp);
        }
        return out;
    }
    return nullptr;
}

int Store(std::FILE *out, const unsigned char *image, std::size_t size)
{
    int ok = std::fwrite(image, 1, size, out) == size;
    if (std::fclose(out) != 0)
        ok = 0;
    return ok;
}

int CopySafe(const char *name, std::size_t n, const char *target, void *context)
{
    (void)context;
    unsigned char *image = Load(name, n);
    if (image == nullptr)
        return 0;
    std::memcpy(image, Magic, MagicSize);
    char temp[NameSize];
    std::FILE *out = CreateTemp(temp);
    int ok = out != nullptr && Store(out, image, n + MagicSize) && rename(temp, target) == 0;
    if (!ok && out != nullptr)
        std::remove(temp);
    std::free(image);
    return ok;
}

int CopyPlain(const char *name, std::size_t n, const char *target, void *context)
{
    (void)context;
    unsigned char *image = Load(name, n);
    if (image == nullptr)
        return 0;
    std::memcpy(image, Magic, MagicSize);
    std::FILE *out = std::fopen(target, "wb");
    int ok = out != nullptr && Store(out, image, n + MagicSize);
    std::free(image);
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2 || (std::strcmp(argv[1], "safe") != 0 && std::strcmp(argv[1], "plain") != 0)) {
        std::fputs("usage: bench_copy safe|plain\n", stderr);
        return 2;
    }
    SourceFn fn = std::strcmp(argv[1], "safe") == 0 ? CopySafe : CopyPlain;
    long count = 0;
    long failed = ForEachSource(fn, nullptr, &count);
    if (failed != 0) {
        std::fprintf(stderr, "bench_copy: %ld of %ld files failed\n", failed, count);
        return 1;
    }
    std::printf("%ld files copied\n", count);
    return 0;
}
