#pragma once
// A fresh application with the skin messages installed, the built-in skin
// at hand, one monitor the test sets, and shown forms that wear a frame.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/controls/vlSkinRelay.h"
#include "skin/data/vlSkinData.h"
#include "skin/data/vlSkinObjects.h"
#include "skin/form/Lacquer.h"
#include "tests/win/support/FakeServices.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/Forms.h"

class FrameFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        InstallSkinMessages();
        Skin = new TvlSkinData(nullptr);
        Stored = std::make_unique<TvlCompressedStoredSkin>(nullptr, BuiltInSkinStream());
    }
    void TearDown() override {
        for (TForm* f : Forms) f->Release();
        Forms.clear();
        ui::Pump();
        delete Skin;
        delete FApplication;
    }

    void LoadModern() { Skin->SetCompressedStoredSkin(Stored.get()); }
    // "Modern" with menu items that fade between their looks.
    void LoadModernWithMorphingItems() {
        LoadModern();
        for (auto& o : Skin->SkinObjects)
            if (dynamic_cast<TvlDataSkinMenuItem*>(o.get())) o->Morphing = true;
    }
    void LoadGraphite() { Skin->LoadPackageFile(PLANDESK_GRAPHITE_PACKAGE); }

    // A form of w × h with a frame, shown at (50, 60); `skinned` wears the
    // built-in skin (loaded first when none is). `prepare` runs on the new
    // frame before it takes the skin.
    template <class Prepare>
    TvlLacquer* ShowFramedForm(const char* caption, bool skinned, TBorderStyle border, int w, int h,
                               Prepare prepare) {
        if (skinned && Skin->IsEmpty()) LoadModern();
        auto* form = new TForm(Application, caption, w, h, border, 0);
        form->Position = poDesigned;
        Forms.push_back(form);
        auto* frame = new TvlLacquer(form);
        prepare(frame);
        if (skinned) frame->SetSkinData(Skin);
        form->Show();
        SetWindowPos(form->Handle(), nullptr, 50, 60, w, h, SWP_NOZORDER);
        ui::Pump(20);
        return frame;
    }

    // The frame's window rectangle on the screen, and the frame's answer to
    // WM_NCHITTEST at (x, y) of it.
    static RECT Bounds(TvlLacquer* f) {
        RECT r;
        GetWindowRect(f->Form()->Handle(), &r);
        return r;
    }
    static int Hit(TvlLacquer* f, int x, int y) {
        RECT r = Bounds(f);
        return static_cast<int>(SendMessageA(f->Form()->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y)));
    }

    TApplication* FApplication = nullptr;
    TvlSkinData* Skin = nullptr;
    std::unique_ptr<TvlCompressedStoredSkin> Stored;
    std::vector<TForm*> Forms;
    TFakeMonitorAreas Monitors;
    TRect& WorkArea = Monitors.Work;
    TRect& ScreenArea = Monitors.Screen;
    TServiceOverride<TMonitorAreas> UseMonitors{Monitors};
};

// The GDI objects and timers of the leak check, and the thread's windows and
// the application's message hooks, before a scenario and after it.
class TSceneCheck {
public:
    TSceneCheck() : FWindows(ThreadWindowCount()), FHooks(Application->MessageHookCount()) {}
    void ExpectNone(const std::string& scenario) const {
        FLeaks.ExpectNone(scenario);
        EXPECT_EQ(ThreadWindowCount(), FWindows) << scenario;
        EXPECT_EQ(Application->MessageHookCount(), FHooks) << scenario;
    }

private:
    TLeakCheck FLeaks;
    int FWindows, FHooks;
};
