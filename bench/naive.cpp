// The converter a first attempt would be: one byte at a time through stdio,
// written straight into the target.
#include <cstdio>

#include "bench/common.h"

namespace {

int Pump(std::FILE *in, std::FILE *out)
{
    for (std::size_t i = 0; i < MagicSize; i++)
        if (std::putc(Magic[i], out) == EOF)
            return 0;
    int c;
    while ((c = std::getc(in)) != EOF)
        if (std::putc(c ^ BodyKey, out) == EOF)
            return 0;
    return !std::ferror(in);
}

int Convert(const char *name, std::size_t n, const char *target, void *context)
{
    (void)n;
    (void)context;
    std::FILE *in = std::fopen(name, "rb");
    if (in == nullptr)
        return 0;
    std::FILE *out = std::fopen(target, "wb");
    if (out == nullptr) {
        std::fclose(in);
        return 0;
    }
    int ok = Pump(in, out);
    if (std::fclose(out) != 0)
        ok = 0;
    std::fclose(in);
    return ok;
}

}  // namespace

int main()
{
    long count = 0;
    long failed = ForEachSource(Convert, nullptr, &count);
    if (failed != 0) {
        std::fprintf(stderr, "bench_naive: %ld of %ld files failed\n", failed, count);
        return 1;
    }
    std::printf("%ld files converted\n", count);
    return 0;
}
