#pragma once
// A fresh application and a form with the built-in skin, for the tests of
// skinned controls and widgets. The skin is loaded at once unless the test
// asks for it later (LoadSkin), to see the controls without one first.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/data/vlSkinData.h"
#include "tests/win/support/ApplicationTest.h"
#include "toolkit/Forms.h"

class SkinnedFormTest : public ApplicationTest {
protected:
    SkinnedFormTest(std::string caption, int width, int height, bool loadSkin = true)
        : FCaption(std::move(caption)), FWidth(width), FHeight(height), FLoadSkin(loadSkin) {}
    void SetUp() override {
        ApplicationTest::SetUp();
        Form = new TForm(Application, FCaption, FWidth, FHeight);
        Skin = new TvlSkinData(Form);
        Stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, BuiltInSkinStream());
        if (FLoadSkin) LoadSkin();
    }
    void TearDown() override {
        ApplicationTest::TearDown();
        Stored.reset();
    }
    // A control of the form, wearing the skin; `args` after owner and parent.
    template <class Control, class... Args>
    Control* Skinned(Args... args) {
        auto* control = new Control(Form, Form, args...);
        control->SetSkinData(Skin);
        return control;
    }
    void LoadSkin() {
        Skin->SetCompressedStoredSkin(Stored.get());
        ASSERT_FALSE(Skin->IsEmpty());
    }

    TForm* Form = nullptr;
    TvlSkinData* Skin = nullptr;
    std::unique_ptr<TvlCompressedStoredSkin> Stored;

private:
    std::string FCaption;
    int FWidth, FHeight;
    bool FLoadSkin;
};
