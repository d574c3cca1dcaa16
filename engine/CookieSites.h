// The sites that have cookies on this machine, which the cookie keep list offers to keep: the hosts
// of the Internet Explorer cookies in the URL cache, and the domains of the Firefox cookies files
// that the plug-in modules name.
#pragma once

#include <string>
#include <vector>

#include "catalogue/ModList.h"

// Internet Explorer sites first, in cache order and with repeats (two users may share a site),
// then the Firefox domains that are not listed yet (without regard to case). No entry is empty.
std::vector<std::string> CookieSites(const CModList& catalogue);
