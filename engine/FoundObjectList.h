// The lists the main window keeps for a run: every object of the last scan in arrival order (the
// type of AllObjsLinkedList; an object's position is its index and every results row carries it as
// item data), and the folders reported by the folder walks.
#pragma once

#include <deque>
#include <list>
#include <string>

#include "engine/FoundObject.h"

// A deque: records keep their place while more arrive (the window hands out references), and
// object n is found in constant time.
using CFoundObjectList = std::deque<CFoundObject>;
using CFolderList = std::list<std::string>;

// The object at a zero-based index; none for an index below 0 or not below the count.
CFoundObject* FindObjectAt(CFoundObjectList& objects, int index);
