#include "engine/FoundObjectList.h"

#include <iterator>

CFoundObject* FindObjectAt(CFoundObjectList& objects, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= objects.size()) return nullptr;
    return &*std::next(objects.begin(), index);
}
