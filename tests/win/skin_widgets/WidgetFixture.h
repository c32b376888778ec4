#pragma once
// A form with the built-in skin for the widget tests.
#include <gtest/gtest.h>

#include <memory>

#include "skin/data/vlSkinData.h"
#include "skin/widgets/vlCalendar.h"
#include "tests/win/support/ClientShot.h"
#include "tests/win/support/SkinnedFormTest.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

class WidgetTest : public SkinnedFormTest {
protected:
    WidgetTest() : SkinnedFormTest("Widgets", 500, 360) {}
    // A skinned control on the form, shown and painted.
    template <class Control, class... Args>
    Control* ShownSkinned(Args... args) {
        auto* control = Skinned<Control>(args...);
        Form->Show();
        ui::Pump(20);
        return control;
    }
    // A 200 × 150 skinned month calendar on 31 January 2024 (the next month
    // is shorter), the form shown and painted.
    TvlSkinMonthCalendar* ShownCalendarAtEndOfJanuary() {
        auto* cal = new TvlSkinMonthCalendar(Form, Form, 10, 10, 200, 150);
        cal->SetSkinData(Skin);
        cal->SetDate(2024, 1, 31);
        Form->Show();
        ui::Pump(20);
        return cal;
    }
    // What a window paints for its client area (its own look, no children).
    static TvlFBitmap Shot(TWinControl* c) { return ClientShot(c, c->ClientWidth(), c->ClientHeight()); }
    // A pixel of a skin picture as 0x00BBGGRR.
    uint32_t SkinPixel(int picture, int x, int y) const {
        TvlFBitmap p(PictureView(Skin->PictureList.at(static_cast<size_t>(picture))));
        return p.Pixel(x, y);
    }
};
