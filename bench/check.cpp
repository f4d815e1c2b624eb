// Checks, byte for byte, the target of every source in the current folder:
//   xor     the magic, then each source byte XORed with the key
//   plain   the magic, then the source as it is
//   same D  the same bytes as the file of that name in folder D
// and that nothing but sources and targets is left in the folder.
#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/common.h"

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

enum Mode { Xor, Plain, Same };

struct Check {
    Mode mode;
    const char *refDir;
    unsigned char *want;
    unsigned char *got;
};

// Compares the rest of out with what in yields in the given mode.
int SameStream(std::FILE *in, std::FILE *out, const Check *check)
{
    for (;;) {
        std::size_t n = std::fread(check->want, 1, ChunkSize, in);
        std::size_t m = std::fread(check->got, 1, ChunkSize, out);
        if (n != m || std::ferror(in) || std::ferror(out))
            return 0;
        if (n == 0)
            return 1;
        if (check->mode == Xor)
            for (std::size_t i = 0; i < n; i++)
                check->want[i] = static_cast<unsigned char>(check->want[i] ^ BodyKey);
        if (std::memcmp(check->want, check->got, n) != 0)
            return 0;
    }
}

int CheckTarget(const char *name, std::size_t n, const char *target, void *context)
{
    (void)n;
    const Check *check = static_cast<const Check *>(context);
    char ref[2 * NameSize];
    if (check->mode == Same) {
        int len = std::snprintf(ref, sizeof ref, "%s/%s", check->refDir, target);
        if (len < 0 || static_cast<std::size_t>(len) >= sizeof ref)
            return 0;
        name = ref;
    }
    std::FILE *in = std::fopen(name, "rb");
    std::FILE *out = std::fopen(target, "rb");
    int ok = in != nullptr && out != nullptr;
    if (ok && check->mode != Same) {
        unsigned char head[MagicSize];
        ok = std::fread(head, 1, MagicSize, out) == MagicSize &&
             std::memcmp(head, Magic, MagicSize) == 0;
    }
    ok = ok && SameStream(in, out, check);
    if (in != nullptr)
        std::fclose(in);
    if (out != nullptr)
        std::fclose(out);
    if (!ok)
        std::fprintf(stderr, "bench_check: %s is wrong or missing\n", target);
    return ok;
}

int EndsWith(const char *name, const char *suffix)
{
    std::size_t n = std::strlen(name);
    std::size_t s = std::strlen(suffix);
    return n >= s && std::strcmp(name + n - s, suffix) == 0;
}

// A temporary file left behind is a fault too.
long CountStrays()
{
    DIR *dir = opendir(".");
    if (dir == nullptr)
        return -1;
    long strays = 0;
    for (struct dirent *d = readdir(dir); d != nullptr; d = readdir(dir)) {
        const char *name = d->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || EndsWith(name, ".bmp") ||
            EndsWith(name, ".spr"))
            continue;
        std::fprintf(stderr, "bench_check: stray file %s\n", name);
        strays++;
    }
    closedir(dir);
    return strays;
}

}  // namespace

int main(int argc, char **argv)
{
    Check check = {Xor, nullptr, nullptr, nullptr};
    if (argc == 2 && std::strcmp(argv[1], "xor") == 0) {
        check.mode = Xor;
    } else if (argc == 2 && std::strcmp(argv[1], "plain") == 0) {
        check.mode = Plain;
    } else if (argc == 3 && std::strcmp(argv[1], "same") == 0) {
        check.mode = Same;
        check.refDir = argv[2];
    } else {
        std::fputs("usage: bench_check xor|plain|same REFDIR\n", stderr);
        return 2;
    }
    check.want = static_cast<unsigned char *>(std::malloc(ChunkSize));
    check.got = static_cast<unsigned char *>(std::malloc(ChunkSize));
    if (check.want == nullptr || check.got == nullptr)
        return 1;
    long count = 0;
    long failed = ForEachSource(CheckTarget, &check, &count);
    long strays = CountStrays();
    std::free(check.want);
    std::free(check.got);
    if (failed != 0 || strays != 0 || count == 0) {
        std::fprintf(stderr, "bench_check: %ld of %ld targets wrong, %ld strays\n", failed, count,
                     strays);
        return 1;
    }
    std::printf("%ld targets right\n", count);
    return 0;
}
