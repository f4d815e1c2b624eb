// Shared by the benchmark's programs: which entries of the current folder are
// sources and what their targets are called, by the same rules as bmp2spr,
// kept apart from its code so that the checks are independent of it.
#ifndef BMP2SPR_BENCH_COMMON_H
#define BMP2SPR_BENCH_COMMON_H

#include <cstddef>

constexpr std::size_t MagicSize = 6;
extern const unsigned char Magic[MagicSize];
constexpr unsigned char BodyKey = 0xA7;
constexpr std::size_t NameSize = 256;

// Called for each source with its size and its target's name; returns
// nonzero when that file was handled.
typedef int (*SourceFn)(const char *name, std::size_t size, const char *target, void *context);

// Calls fn for every regular file "*.bmp" (ASCII case ignored) of the
// current folder. Returns the number of sources fn failed on, or -1 when the
// folder cannot be read; *count gets the number of sources seen.
long ForEachSource(SourceFn fn, void *context, long *count);

#endif
