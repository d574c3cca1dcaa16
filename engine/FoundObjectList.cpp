#include "engine/FoundObjectList.h"

CFoundObject* FindObjectAt(CFoundObjectList& objects, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= objects.size()) return nullptr;
    return &objects[static_cast<size_t>(index)];
}
