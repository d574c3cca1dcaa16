#include "engine/FoundObject.h"

const char* ObjectKindText(int kind)
{
    static const char* const kTexts[kObjectKindCount] = {
        "未知", "普通文件", "Cookie", "注册表键", "注册表键值", "IE 已输入的 URL",
    };
    if (kind < 0 || kind >= kObjectKindCount) kind = kObjUnknown;
    return kTexts[kind];
}
