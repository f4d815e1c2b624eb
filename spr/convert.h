// Conversion of one listed BMP into the SPR file beside it.
#ifndef BMP2SPR_CONVERT_H
#define BMP2SPR_CONVERT_H

#include "platform/platform.h"

// Files converted in this run.
extern int ConvertedCount;

// Converts the entry into the SPR file of the same name with "spr" as its
// last three characters, and counts it. An entry that cannot be converted
// whole is not counted and leaves any earlier SPR as it was.
void ConvertFile(const WIN32_FIND_DATAA *entry);

#endif
