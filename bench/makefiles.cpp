// Makes a workload: COUNT files "PREFIXnnnnn.bmp" of SIZE bytes each in the
// current folder, filled with pseudo-random bytes so that nothing can take
// a shortcut on their content.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

int MakeFile(const char *name, std::size_t size, std::uint64_t seed, unsigned char *chunk)
{
    std::FILE *out = std::fopen(name, "wb");
    if (out == nullptr)
        return 0;
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ULL + 1;
    int ok = 1;
    for (std::size_t done = 0; ok && done < size;) {
        std::size_t n = size - done < ChunkSize ? size - done : ChunkSize;
        for (std::size_t i = 0; i < n; i += 8) {
            // xorshift64
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            std::size_t k = n - i < 8 ? n - i : 8;
            std::memcpy(chunk + i, &x, k);
        }
        ok = std::fwrite(chunk, 1, n, out) == n;
        done += n;
    }
    if (std::fclose(out) != 0)
        ok = 0;
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fputs("usage: bench_makefiles COUNT SIZE PREFIX\n", stderr);
        return 2;
    }
    long count = std::strtol(argv[1], nullptr, 10);
    long long size = std::strtoll(argv[2], nullptr, 10);
    if (count <= 0 || count > 99999 || size < 0) {
        std::fputs("bench_makefiles: bad COUNT or SIZE\n", stderr);
        return 2;
    }
    unsigned char *chunk = static_cast<unsigned char *>(std::malloc(ChunkSize));
    if (chunk == nullptr)
        return 1;
    int ok = 1;
    for (long i = 0; ok && i < count; i++) {
        char name[256];
        int len = std::snprintf(name, sizeof name, "%s%05ld.bmp", argv[3], i);
        ok = len > 0 && static_cast<std::size_t>(len) < sizeof name &&
             MakeFile(name, static_cast<std::size_t>(size), static_cast<std::uint64_t>(i), chunk);
    }
    std::free(chunk);
    if (!ok) {
        std::perror("bench_makefiles");
        return 1;
    }
    return 0;
}
