// The one-step scan of every plug-in item: its file rules become folder walks whose callbacks list
// the files (or, for "NETS_FIREFOXS_COOKIES" items, the cookies in them), its registry rules become
// registry objects.
#pragma once

#include "catalogue/ModItem.h"

// 1 when the scan ran to its end, 0 when a stop request ended it. The registry rules run also
// after a stop ended the file rules; the scanning thread then ends the scan as cancelled.
int PluginRuleScan(CModItem* pItem);
