// Entry point of every test program: multibyte helpers on the ANSI code page, then GoogleTest.
#include <gtest/gtest.h>
#include <mbctype.h>
#include <windows.h>
#include <commctrl.h>

#include "engine/ItemWiring.h"

int main(int argc, char** argv)
{
    _setmbcp(_MB_CP_ANSI);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    if (GetACP() != 936) {
        fprintf(stderr, "The tests need code page 936 (run them through scripts/test); ACP is %u\n", GetACP());
        return 2;
    }
    WireItemFunctions();  // as the program does before it builds the catalogue
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
