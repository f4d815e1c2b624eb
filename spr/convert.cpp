#include "spr/convert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "spr/spr_format.h"

int ConvertedCount = 0;

namespace {

constexpr std::size_t NameBufferSize = 256;
constexpr std::size_t ShortestName = 5;
constexpr DWORD LargestSource = 0xFFFFFFFFU - SprMagicSize;

// Writes the target's name into target; returns 0 when the entry has no
// target: a name that does not fit, is too short, or would name the source.
int MakeTargetName(const WIN32_FIND_DATAA *entry, char *target)
{
    const void *end = std::memchr(entry->cFileName, '\0', sizeof entry->cFileName);
    if (end == nullptr)
        return 0;
    std::size_t len = static_cast<std::size_t>(static_cast<const char *>(end) - entry->cFileName);
    if (len >= NameBufferSize || len < ShortestName)
        return 0;
    std::memcpy(target, entry->cFileName, len + 1);
    target[len - 3] = 's';
    target[len - 2] = 'p';
    target[len - 1] = 'r';
    // An 8.3 alias can list "x.bmpspr" as a BMP; converting it onto itself
    // would destroy the source.
    return !SameFileName(target, entry->cFileName);
}

// Opens the named file, then reads its first n bytes into a new block at
// the body's place; nullptr unless all n bytes were read.
unsigned char *LoadSource(const char *name, std::size_t n)
{
    std::FILE *src = std::fopen(name, "rb");
    if (src == nullptr)
        return nullptr;
    unsigned char *image = static_cast<unsigned char *>(std::malloc(n + SprMagicSize));
    if (image == nullptr) {
        std::fclose(src);
        return nullptr;
    }
    if (std::fread(image + SprMagicSize, 1, n, src) != n) {
        std::free(image);
        image = nullptr;
    }
    std::fclose(src);
    return image;
}

// Writes the image under a new name, then puts it over the target, so that
// the target is either the whole new file or what it was before.
int WriteTarget(const char *target, const unsigned char *image, std::size_t size)
{
    char temp[NameBufferSize];
    std::FILE *out = CreateTempFile(temp, sizeof temp);
    if (out == nullptr)
        return 0;
    int ok = std::fwrite(image, 1, size, out) == size;
    if (std::fclose(out) != 0)
        ok = 0;
    if (ok && !ReplaceFileByName(temp, target))
        ok = 0;
    if (!ok)
        std::remove(temp);
    return ok;
}

}  // namespace

void ConvertFile(const WIN32_FIND_DATAA *entry)
{
    if (entry == nullptr)
        return;
    // Directories and devices are no source, and opening a FIFO would block.
    if ((entry->dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return;
    // The low part alone would convert a prefix; n + 6 must fit in 32 bits.
    if (entry->nFileSizeHigh != 0 || entry->nFileSizeLow > LargestSource)
        return;
    char target[NameBufferSize];
    if (!MakeTargetName(entry, target))
        return;

    std::size_t n = entry->nFileSizeLow;
    unsigned char *image = LoadSource(entry->cFileName, n);
    if (image == nullptr)
        return;
    EncodeSprImage(image, n);
    int written = WriteTarget(target, image, n + SprMagicSize);
    std::free(image);
    if (written)
        ConvertedCount++;
}
