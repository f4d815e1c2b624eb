// The SPR layout: the magic, then the source's bytes each XORed with one key.
#ifndef BMP2SPR_SPR_FORMAT_H
#define BMP2SPR_SPR_FORMAT_H

#include <cstddef>

constexpr std::size_t SprMagicSize = 6;
extern const unsigned char SprMagic[SprMagicSize];
constexpr unsigned char SprBodyKey = 0xA7;

// Turns a buffer whose bytes from SprMagicSize on hold the n source bytes into
// the complete SPR image, in place.
void EncodeSprImage(unsigned char *image, std::size_t n);

#endif
