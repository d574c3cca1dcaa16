// Test helper: runs an action on the test thread while a watcher thread finds every message box the
// action shows, reads its caption, text, owner and icon, and presses OK. A box that nobody expected
// is therefore reported instead of blocking the test for ever.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct SeenBox {
    std::string caption;
    std::string text;
    std::wstring wideText;  // the same text read as wide characters (what code page 936 cannot hold)
    bool foundByCaption = false;  // FindWindowA with the caption gives this very box
    HWND owner = reinterpret_cast<HWND>(0xdeadbeef);
    HICON icon = nullptr;
};

std::vector<SeenBox> CloseBoxesDuring(const std::function<void()>& action);

}  // namespace testsupport
