#include "engine/FoundObject.h"

const char* ObjectKindText(int kind)
{
    static const char* const kTexts[kObjectKindCount] = {
        "未知", "普通文件", "Cookie", "注册表键", "注册表键值", "IE 已输入的 URL",
    };
    if (kind < 0 || kind >= kObjectKindCount) kind = kObjUnknown;
    return kTexts[kind];
}

DWORD RootKeyToParam(HKEY root) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(root)); }

HKEY ParamToRootKey(DWORD param)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(param))));
}
