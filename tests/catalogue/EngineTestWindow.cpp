// The stand-in main window of the engine tests, compiled into this test program too: the rules
// engine reports to the main window exactly as the engine's item functions do.
#include "../engine/TestMainWindow.cpp"
