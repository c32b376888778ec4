#pragma once
// A form holding every skinned button, check box, panel, bevel, splitter,
// label and gauge in each of its modes, wearing one skin data; for
// pictures of the whole toolkit and for scenarios over all of it.
#include <string>
#include <vector>

#include "skin/controls/vlSkinCtrls.h"
#include "tests/win/skin_controls/SkinTestImages.h"
#include "toolkit/ActnList.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"

class TSkinGallery {
public:
    TSkinGallery(TForm* form, TvlSkinData* skin) : Form(form), Skin(skin) {
        Glyph = GlyphStrip();
        Buttons();
        SpeedButtons();
        Checks();
        Panels();
        StaticControls();
    }

    // Every skinned control of the gallery, windowed or not.
    std::vector<TControl*> Controls;
    TAction* Action = nullptr;

private:
    template <class C>
    C* Add(C* control) {
        control->SetSkinData(Skin);
        Controls.push_back(control);
        return control;
    }
    // A strip of four 16 x 16 cells (normal, disabled, down, hot): a
    // square in a colour of its own on a see-through magenta ground.
    static TvlFBitmap GlyphStrip() {
        TvlFBitmap strip(64, 16);
        strip.Fill(0xFF00FF);
        const uint32_t colours[4] = {0x2060D0, 0x909090, 0x1080F0, 0x30A030};  // 0x00BBGGRR
        for (int cell = 0; cell < 4; ++cell)
            for (int y = 3; y < 13; ++y)
                for (int x = 3; x < 13; ++x) strip.SetPixel(cell * 16 + x, y, colours[cell]);
        return strip;
    }

    void Buttons() {
        auto button = [&](const char* caption, int left, int top, int width = 90) {
            return Add(new TvlSkinButton(Form, Form, caption, left, top, width, 25));
        };
        button("&Normal", 10, 10);
        auto* def = button("Default", 105, 10);
        def->SetDefault(true);
        button("Disabled", 200, 10)->SetEnabled(false);
        auto* repeat = button("Repeat", 295, 10);
        repeat->RepeatMode = true;
        const TvlButtonLayout layouts[4] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
        const char* names[4] = {"Left", "Right", "Top", "Bottom"};
        for (int i = 0; i < 4; ++i) {
            auto* b = Add(new TvlSkinButton(Form, Form, names[i], 10 + i * 95, 40, 90, i < 2 ? 25 : 44));
            b->SetGlyph(Glyph);
            b->SetNumGlyphs(4);
            b->SetLayout(layouts[i]);
        }
        auto* margin = button("Margin", 390, 40);
        margin->SetGlyph(Glyph);
        margin->SetNumGlyphs(4);
        margin->SetMargin(4);
        for (int i = 0; i < 3; ++i) {
            auto* g = button(i == 0 ? "One" : i == 1 ? "Two" : "Three", 10 + i * 65, 90, 60);
            g->SetGroupIndex(1);
            if (i == 1) g->SetDown(true);
        }
        // One follows an action with an image of its list.
        Images = new TImageList(Form, 16, 16, true);
        AddSquareImage(Images, RGB(192, 80, 48), RGB(255, 0, 255));
        auto* list = new TActionList(Form);
        list->SetImages(Images);
        Action = new TAction(Form, list);
        Action->SetCaption("Action");
        Action->SetImageIndex(0);
        button("", 210, 90)->SetAction(Action);
    }

    void SpeedButtons() {
        auto speed = [&](const char* caption, int left, int width = 60) {
            auto* s = Add(new TvlSkinSpeedButton(Form, Form));
            s->SetBounds(left, 125, width, 25);
            s->SetCaption(caption);
            return s;
        };
        speed("Tool", 10);
        speed("Flat", 75)->SetFlat(true);
        speed("Off", 140)->SetEnabled(false);
        auto* glyph = speed("", 205, 25);
        glyph->Glyph = Glyph;
        glyph->NumGlyphs = 4;
        for (int i = 0; i < 2; ++i) {
            auto* g = speed(i == 0 ? "A" : "B", 235 + i * 30, 25);
            g->GroupIndex = 2;
            if (i == 0) g->SetDown(true);
        }
        auto* hidden = speed("Hidden caption", 300, 25);
        hidden->SetShowCaption(false);
        hidden->Glyph = Glyph;
        hidden->NumGlyphs = 4;
        speed("", 330, 70)->SetAction(Action);
    }

    void Checks() {
        auto check = [&](const char* caption, int left, int top, int width = 130) {
            return Add(new TvlSkinCheckRadioBox(Form, Form, caption, left, top, width, 24));
        };
        check("Check box", 10, 160);
        check("Checked", 145, 160)->SetChecked(true);
        auto* off = check("Disabled", 280, 160);
        off->SetChecked(true);
        off->SetEnabled(false);
        auto* image = check("With image", 415, 160);
        image->SetImages(Images);
        for (int i = 0; i < 2; ++i) {
            auto* r = check(i == 0 ? "Radio one" : "Radio two", 10 + i * 135, 190);
            r->SetRadio(true);
            if (i == 1) r->SetChecked(true);
        }
        auto* raised = check("Not flat", 280, 190, 120);
        raised->Flat = false;
        raised->SkinChanged();
        auto* raisedOn = check("Not flat, on", 415, 190, 120);
        raisedOn->Flat = false;
        raisedOn->SetChecked(true);
        raisedOn->SkinChanged();
        check("", 550, 160, 90)->SetAction(Action);
    }

    void Panels() {
        const TvlPanelBorderStyle borders[4] = {bvFrame, bvRaised, bvLowered, bvNone};
        for (int i = 0; i < 4; ++i) {
            auto* p = Add(new TvlSkinPanel(Form, Form, borders[i]));
            p->SetBounds(10 + i * 95, 225, 90, 60);
        }
        auto* caption = Add(new TvlSkinPanel(Form, Form));
        caption->SetBounds(390, 225, 180, 60);
        caption->SetCaption("Glyph caption");
        caption->SetCaptionMode(true);
        caption->SetGlyph(Glyph);
        caption->SetNumGlyphs(2);
        auto* checked = Add(new TvlSkinPanel(Form, Form));
        checked->SetBounds(10, 295, 180, 70);
        checked->SetCaption("Checked mode");
        checked->SetCaptionMode(true);
        checked->SetCheckedMode(true);
        checked->SetChecked(true);
        Add(new TvlSkinCheckRadioBox(Form, checked, "Child", 8, 30, 100, 24));
        auto* rolled = Add(new TvlSkinPanel(Form, Form));
        rolled->SetBounds(200, 295, 180, 70);
        rolled->SetCaption("Rolled up");
        rolled->SetCaptionMode(true);
        rolled->SetRollUpMode(true);
        rolled->SetRollUpState(true);
        auto* unrolled = Add(new TvlSkinPanel(Form, Form));
        unrolled->SetBounds(390, 295, 180, 70);
        unrolled->SetCaption("Roll-up, open");
        unrolled->SetCaptionMode(true);
        unrolled->SetRollUpMode(true);
        unrolled->SetDefaultAlignment(taCenter);
        Add(new TvlSkinGroupBox(Form, Form, "Group box"))->SetBounds(580, 225, 170, 140);
        auto* base = Add(new TvlSkinCustomControl(Form, Form));
        base->SkinDataName = "panel";
        base->SetBounds(650, 10, 100, 60);
    }

    void StaticControls() {
        const TvlBevelShape shapes[7] = {bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer};
        for (int i = 0; i < 7; ++i) {
            auto* b = Add(new TvlSkinBevel(Form, Form, 10 + i * 45, 375, 40, 30));
            b->Shape = shapes[i];
        }
        for (int i = 0; i < 2; ++i) {
            auto* d = Add(new TvlSkinBevel(Form, Form, 330 + i * 45, 375, 40, 30));
            d->Shape = i == 0 ? bsTopLine : bsBox;
            d->DividerMode = true;
        }
        auto* raised = Add(new TvlSkinBevel(Form, Form, 420, 375, 40, 30));
        raised->Style = bsRaised;
        auto* holder = Add(new TvlSkinPanel(Form, Form, bvNone));
        holder->SetBounds(470, 375, 120, 30);
        auto* left = Add(new TvlSkinPanel(Form, holder));
        left->SetWidth(50);
        left->SetAlign(alLeft);
        Add(new TvlSkinSplitter(Form, holder, 4))->SetAlign(alLeft);

        Add(new TvlSkinStdLabel(Form, Form, "Standard label", 10, 415));
        Add(new TvlSkinStdLabel(Form, Form, "Disabled label", 120, 415))->SetEnabled(false);
        auto* accel = Add(new TvlSkinStdLabel(Form, Form, "&Accelerator", 230, 415));
        accel->SetShowAccelChar(true);
        auto* wrapped = Add(new TvlSkinStdLabel(Form, Form, "A label whose words wrap", 330, 415));
        wrapped->SetBounds(330, 415, 80, 14);
        wrapped->SetWordWrap(true);
        auto* bottom = Add(new TvlSkinStdLabel(Form, Form, "Bottom", 420, 415));
        bottom->AutoSize = false;
        bottom->SetBounds(420, 415, 60, 40);
        bottom->SetLayout(tlBottom);
        Add(new TvlSkinLinkLabel(Form, Form, "A link label", 490, 415));

        auto* gauge = Add(new TvlSkinGauge(Form, Form, 10, 465, 250, 20));
        gauge->SetProgressText("3/8 tasks  ");
        gauge->SetShowProgressText(true);
        gauge->SetShowPercent(true);
        gauge->SetValue(37);
        auto* empty = Add(new TvlSkinGauge(Form, Form, 270, 465, 150, 20));
        empty->SetValue(0);
        empty->SetShowPercent(true);
        auto* stretched = Add(new TvlSkinGauge(Form, Form, 430, 465, 150, 30));
        stretched->SetUseSkinSize(false);
        stretched->SetValue(80);
        auto* vertical = Add(new TvlSkinGauge(Form, Form, 760, 10, 100, 20));
        vertical->SetVertical(true);
        vertical->SetBounds(760, 10, 24, 200);
        vertical->SetShowPercent(true);
        vertical->SetValue(62);
    }

    TForm* Form;
    TvlSkinData* Skin;
    TvlFBitmap Glyph;
    TImageList* Images = nullptr;
};
