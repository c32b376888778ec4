#pragma once
// A form with the built-in skin loaded, for the skinned list, edit and box
// control tests.
#include <gtest/gtest.h>

#include <memory>

#include "skin/controls/vlSkinCtrls.h"
#include "toolkit/Forms.h"

class SkinControlsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        Form = new TForm(Application, "Controls", 600, 400);
        Skin = new TvlSkinData(Form);
        Stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, BuiltInSkinStream());
        Skin->SetCompressedStoredSkin(Stored.get());
        ASSERT_FALSE(Skin->IsEmpty());
    }
    void TearDown() override {
        delete FApplication;
        Stored.reset();
    }
    static void Send(TWinControl* c, UINT msg, WPARAM wp, int x, int y) {
        SendMessageA(c->Handle(), msg, wp, MAKELPARAM(x, y));
    }
    TApplication* FApplication = nullptr;
    TForm* Form = nullptr;
    TvlSkinData* Skin = nullptr;
    std::unique_ptr<TvlCompressedStoredSkin> Stored;
};
