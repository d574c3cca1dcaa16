// Hands the catalogue the engine functions it wires into its items' slots: one row per built-in
// item, and the functions of plug-in items. The catalogue names no engine code itself; the program
// (and every test or benchmark that builds the catalogue) wires them before the first build.
#pragma once

#include "catalogue/ModItem.h"
#include "catalogue/ModList.h"

// Columns as the item record's slots; row i serves built-in item 1100 + i.
extern const CItemFunctions kBuiltinItemFunctions[kBuiltinItemCount];
// The rule scan with the standard walk callbacks, the cookies-file callback and the custom search.
extern const CPluginItemFunctions kPluginItemFunctions;

// Installs both tables into the catalogue.
void WireItemFunctions();
