// The Explorer extension's class identifier. One home: the extension serves it, the tests create it,
// and the installer registers it (installer/ reads the text form below with !searchparse, so keep
// the #define on one line in exactly this shape).
#pragma once

#define LORVEX_SHELL_CLSID_TEXT "{F7F6A80F-DE17-4C01-BED6-30D2ADA47F07}"

#ifdef __cplusplus
#include <guiddef.h>
// {F7F6A80F-DE17-4C01-BED6-30D2ADA47F07}
inline constexpr GUID CLSID_LorvexShell = {
    0xf7f6a80f, 0xde17, 0x4c01, {0xbe, 0xd6, 0x30, 0xd2, 0xad, 0xa4, 0x7f, 0x07}};
#endif
