#pragma once
// A fresh application and a form with the built-in skin loaded, for the
// tests of skinned controls and widgets.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/data/vlSkinData.h"
#include "toolkit/Forms.h"

class SkinnedFormTest : public ::testing::Test {
protected:
    SkinnedFormTest(std::string caption, int width, int height)
        : FCaption(std::move(caption)), FWidth(width), FHeight(height) {}
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        Form = new TForm(Application, FCaption, FWidth, FHeight);
        Skin = new TvlSkinData(Form);
        Stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, BuiltInSkinStream());
        Skin->SetCompressedStoredSkin(Stored.get());
        ASSERT_FALSE(Skin->IsEmpty());
    }
    void TearDown() override {
        delete FApplication;
        Stored.reset();
    }

    TApplication* FApplication = nullptr;
    TForm* Form = nullptr;
    TvlSkinData* Skin = nullptr;
    std::unique_ptr<TvlCompressedStoredSkin> Stored;

private:
    std::string FCaption;
    int FWidth, FHeight;
};
