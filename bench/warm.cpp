// Touches SIZE bytes of fresh memory and gives them back. Run just before a
// timed run so that every contestant draws its memory from the same warm
// pool: on a VM whose host takes back free guest pages (free page
// reporting), memory freed a while ago costs a host fault at each first
// touch, which would charge whoever needs the most new memory for the
// VM's state rather than for its own work.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: bench_warm SIZE\n", stderr);
        return 2;
    }
    long long size = std::strtoll(argv[1], nullptr, 10);
    if (size <= 0) {
        std::fputs("bench_warm: bad SIZE\n", stderr);
        return 2;
    }
    unsigned char *block =
        static_cast<unsigned char *>(std::malloc(static_cast<std::size_t>(size)));
    if (block == nullptr) {
        std::perror("bench_warm");
        return 1;
    }
    std::memset(block, 1, static_cast<std::size_t>(size));
    // Read back, so that the stores cannot be dropped.
    int sum = block[0] + block[size / 2] + block[size - 1];
    std::free(block);
    return sum == 3 ? 0 : 1;
}
