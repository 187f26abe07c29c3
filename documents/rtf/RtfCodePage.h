#pragma once
// The single-byte code pages RTF text is written in, as far as Russian documents need them: Windows-1251,
// 1250 and 1252, and code page 866 (the OEM character set of a Russian system). Any other code page is read
// as 1252.

// The Windows code page an RTF \fcharset stands for, or 0 for the ANSI and default sets, which follow the
// document's \ansicpg.
int codePageOfCharset(int charset);

char16_t decodeCodePageByte(int codePage, unsigned char byte);
