// Everything the parsers use of this header is in the shim's windows.h.
#pragma once
#include <windows.h>
