#pragma once
// A form with the built-in skin for the widget tests.
#include <gtest/gtest.h>

#include <memory>

#include "skin/data/vlSkinData.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        Form = new TForm(Application, "Widgets", 500, 360);
        Skin = new TvlSkinData(Form);
        Stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, BuiltInSkinStream());
        Skin->SetCompressedStoredSkin(Stored.get());
        ASSERT_FALSE(Skin->IsEmpty());
    }
    void TearDown() override {
        delete FApplication;
        Stored.reset();
    }
    // What a window paints for its client area (its own look, no children).
    static TvlFBitmap Shot(TWinControl* c) {
        TvlFBitmap bitmap(c->ClientWidth(), c->ClientHeight());
        SendMessageA(c->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap.Canvas()), PRF_CLIENT);
        GdiFlush();
        return bitmap;
    }
    // A pixel of a skin picture as 0x00BBGGRR.
    uint32_t SkinPixel(int picture, int x, int y) const {
        TvlFBitmap p(PictureView(Skin->PictureList.at(static_cast<size_t>(picture))));
        return p.Pixel(x, y);
    }
    TApplication* FApplication = nullptr;
    TForm* Form = nullptr;
    TvlSkinData* Skin = nullptr;
    std::unique_ptr<TvlCompressedStoredSkin> Stored;
};
