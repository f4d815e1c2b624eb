#include "app/texts.h"

// Spelled as bytes so that no source or compiler encoding can alter them.
const char SearchPattern[] = "*.bmp";

// "%d 개의 파일이 변환되었습니다."
const char CountMessageFormat[] =
    "%d \xB0\xB3\xC0\xC7 \xC6\xC4\xC0\xCF\xC0\xCC \xBA\xAF\xC8\xAF\xB5\xC7\xBE\xFA\xBD\xC0"
    "\xB4\xCF\xB4\xD9.";

// "변환된 파일이 없습니다."
const char NoFilesMessage[] =
    "\xBA\xAF\xC8\xAF\xB5\xC8 \xC6\xC4\xC0\xCF\xC0\xCC \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9.";

// "[VEK] BMP -> SPR 변환툴"
const char MessageCaption[] = "[VEK] BMP -> SPR \xBA\xAF\xC8\xAF\xC5\xF8";

static_assert(sizeof SearchPattern - 1 == 5, "pattern length");
static_assert(sizeof CountMessageFormat - 1 == 30, "count message length");
static_assert(sizeof NoFilesMessage - 1 == 23, "no-files message length");
static_assert(sizeof MessageCaption - 1 == 23, "caption length");
