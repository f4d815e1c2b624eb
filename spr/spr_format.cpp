#include "spr/spr_format.h"

#include <cstdint>
#include <cstring>

const unsigned char SprMagic[SprMagicSize] = {'G', 'X', 'X', 'B', 'K', 'I'};

void EncodeSprImage(unsigned char *image, std::size_t n)
{
    std::memcpy(image, SprMagic, SprMagicSize);
    unsigned char *body = image + SprMagicSize;
    // Eight bytes a step: the body is not aligned, so go through memcpy.
    const std::uint64_t key8 = 0x0101010101010101ULL * SprBodyKey;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, body + i, 8);
        word ^= key8;
        std::memcpy(body + i, &word, 8);
    }
    for (; i < n; i++)
        body[i] ^= SprBodyKey;
}
