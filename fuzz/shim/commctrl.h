#include <windows.h>  // all the parsers use of it is there
