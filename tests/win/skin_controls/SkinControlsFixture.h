#pragma once
// A form with the built-in skin loaded, for the skinned list, edit and box
// control tests.
#include <gtest/gtest.h>

#include <memory>

#include "skin/controls/vlSkinCtrls.h"
#include "tests/win/support/SkinnedFormTest.h"

class SkinControlsFixture : public SkinnedFormTest {
protected:
    SkinControlsFixture() : SkinnedFormTest("Controls", 600, 400) {}
    static void Send(TWinControl* c, UINT msg, WPARAM wp, int x, int y) {
        SendMessageA(c->Handle(), msg, wp, MAKELPARAM(x, y));
    }
};
