// Running-program benchmark under Wine: one resize step of a 1920 × 1080
// window with the skinned frame (geometry, region, non-client compose and
// client repaint) against the same step of a window with the platform's
// plain frame, the two interleaved in one run. Prints microseconds per step
// and the ratio.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "skin/data/vlSkinData.h"
#include "skin/form/Lacquer.h"
#include "tests/win/support/FakeServices.h"
#include "toolkit/Forms.h"

namespace {

// Lets the plain window grow past the screen, as the frame lets its own.
class TNoLimit : public TWindowProcWrapper {
public:
    using TWindowProcWrapper::TWindowProcWrapper;

protected:
    void WrappedWndProc(TMessage& m) override {
        CallPrevious(m);
        if (m.Msg == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(m.LParam)->ptMaxTrackSize = {4000, 3000};
    }
};

double Step(TForm* form, int i) {
    auto t0 = std::chrono::steady_clock::now();
    int w = 1920 - (i % 2) * 20, h = 1080 - (i % 2) * 20;
    SetWindowPos(form->Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(t1 - t0).count();
}

}  // namespace

int main() {
    auto* app = new TApplication();
    Application->Initialize();
    TvlSkinData skin(nullptr);
    TvlCompressedStoredSkin stored(nullptr, BuiltInSkinStream());
    skin.SetCompressedStoredSkin(&stored);
    if (skin.IsEmpty()) {
        std::printf("no built-in skin\n");
        return 1;
    }
    auto* plain = new TForm(Application, "Plain frame", 800, 600);
    plain->Position = poDesigned;
    (new TNoLimit(plain))->Attach(plain);
    auto* skinned = new TForm(Application, "Skinned frame", 800, 600);
    skinned->Position = poDesigned;
    // Room for every size the steps reach.
    TFakeMonitorAreas monitors;
    monitors.Work = monitors.Screen = {0, 0, 4000, 3000};
    TServiceOverride<TMonitorAreas> useMonitors(monitors);
    auto* frame = new TvlLacquer(skinned);
    frame->SetSkinData(&skin);
    plain->Show();
    skinned->Show();
    Application->ProcessMessages();
    for (int i = 0; i < 10; ++i) {
        Step(plain, i);
        Step(skinned, i);
    }
    const int steps = 200;
    double plainTime = 0, skinnedTime = 0;
    for (int i = 0; i < steps; ++i) {
        plainTime += Step(plain, i);
        skinnedTime += Step(skinned, i);
        Application->ProcessMessages();
    }
    std::printf("resize step 1920x1080: plain frame %.1f us, skinned frame %.1f us, ratio %.2f\n", plainTime / steps,
                skinnedTime / steps, skinnedTime / plainTime);
    plain->Release();
    skinned->Release();
    Application->ProcessMessages();
    delete app;
    return 0;
}
