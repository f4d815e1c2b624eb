// The run's texts, as code page 949 bytes.
#ifndef BMP2SPR_TEXTS_H
#define BMP2SPR_TEXTS_H

extern const char SearchPattern[];
extern const char CountMessageFormat[];
extern const char NoFilesMessage[];
extern const char MessageCaption[];

#endif
