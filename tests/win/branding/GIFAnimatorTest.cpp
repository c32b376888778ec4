// The GIF player on a real window: frame timing, looping, disposal as it
// reaches the screen, auto-size, and destruction while a tick is queued.
#include <gtest/gtest.h>

#include "media/GIFCtrl.h"
#include "tests/win/branding/BrandingSupport.h"
#include "tests/win/support/ApplicationTest.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

#include <tlhelp32.h>

namespace {

class GIFAnimatorTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        Form = new TForm(Application, "GIF", 300, 200);
        Panel = new TPanel(Form, Form);
        Panel->SetAlign(alClient);
        Panel->Color = clWhite;
        Gif = new TGIFAnimator(Form, Panel);
        Form->Show();
        ui::Pump(20);
    }

    struct Step {
        int Index;
        double Ms;
    };
    // Frame changes while messages are handled for `milliseconds`.
    std::vector<Step> Run(int milliseconds) {
        std::vector<Step> steps;
        LARGE_INTEGER frequency, start;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        Gif->OnFrameChanged = [&](TObject*) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            steps.push_back({Gif->FrameIndex(), 1000.0 * (now.QuadPart - start.QuadPart) / frequency.QuadPart});
        };
        ui::Pump(milliseconds);
        Gif->OnFrameChanged = nullptr;
        return steps;
    }
    COLORREF ScreenPixel(int x, int y) {
        HDC dc = GetDC(Panel->Handle());
        COLORREF c = GetPixel(dc, Gif->Left() + x, Gif->Top() + y);
        ReleaseDC(Panel->Handle(), dc);
        return c;
    }

    TForm* Form = nullptr;
    TPanel* Panel = nullptr;
    TGIFAnimator* Gif = nullptr;
};

}  // namespace

TEST_F(GIFAnimatorTest, NewPlayerAndAutoSize) {
    EXPECT_EQ(Gif->Width(), 105);
    EXPECT_EQ(Gif->Height(), 105);
    EXPECT_FALSE(Gif->Animate());
    EXPECT_TRUE(Gif->Loop);
    EXPECT_TRUE(Gif->Transparent());
    EXPECT_EQ(Gif->Color, clWhite) << "the parent's colour";
    Gif->SetBounds(7, 9, 105, 105);
    Gif->Image()->LoadFromBytes(branding::PlainGIF(120, 60, {10}));
    EXPECT_EQ(Gif->Width(), 120);
    EXPECT_EQ(Gif->Height(), 60);
    EXPECT_EQ(Gif->Left(), 7) << "the position stays";
    EXPECT_EQ(Gif->TimerInterval(), 0) << "a still picture never ticks";
    Gif->SetAnimate(true);
    EXPECT_TRUE(Run(300).empty());
}

namespace {
int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        n += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return n;
}
}  // namespace

// A player asked to animate before it has a picture runs no thread, and
// starts stepping when a moving picture comes.
TEST_F(GIFAnimatorTest, APlayerWithoutAMovingPictureRunsNoThreadUntilOneComes) {
    const int before = ThreadsOfThisProcess();
    ASSERT_GT(before, 0);
    auto* idle = new TGIFAnimator(Form, Panel);
    int started = 0;
    idle->OnStart = [&](TObject*) { ++started; };
    idle->SetAnimate(true);
    EXPECT_TRUE(idle->Animate());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ThreadsOfThisProcess(), before);
    idle->Image()->LoadFromBytes(branding::PlainGIF(40, 20, {5}));
    EXPECT_EQ(ThreadsOfThisProcess(), before) << "a still picture never ticks";
    delete idle;

    Gif->SetAnimate(true);
    EXPECT_EQ(ThreadsOfThisProcess(), before);
    Gif->Image()->LoadFromBytes(branding::PlainGIF(40, 20, {5, 5}));
    EXPECT_EQ(ThreadsOfThisProcess(), before + 1);
    std::vector<Step> steps = Run(400);
    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps[0].Index, 1);
    EXPECT_EQ(steps[1].Index, 0);
}

TEST_F(GIFAnimatorTest, FramesShowForTheirClampedDelaysAndLoopForever) {
    // 0 s, 0.03 s and 0.2 s: shown for 50, 50 and 200 ms. The file asks for
    // one repetition; with Loop on the player goes on.
    Gif->Image()->LoadFromBytes(branding::PlainGIF(40, 20, {0, 3, 20}));
    EXPECT_EQ(Gif->TimerInterval(), 50);
    int started = 0;
    Gif->OnStart = [&](TObject*) { ++started; };
    Gif->SetAnimate(true);
    EXPECT_EQ(started, 1);
    std::vector<Step> steps = Run(1500);
    ASSERT_GE(steps.size(), 9u) << "more than two rounds of three frames";
    const int expectedDelay[3] = {50, 50, 200};
    for (size_t i = 0; i < steps.size(); ++i) {
        ASSERT_EQ(steps[i].Index, static_cast<int>((i + 1) % 3)) << "step " << i;
        if (i == 0) continue;
        double shown = steps[i].Ms - steps[i - 1].Ms;
        int delay = expectedDelay[steps[i - 1].Index];
        EXPECT_GE(shown, delay - 15) << "frame " << steps[i - 1].Index << " at step " << i;
        EXPECT_LE(shown, delay + 120) << "frame " << steps[i - 1].Index << " at step " << i;
    }
    EXPECT_TRUE(Gif->TimerHasHandler());
    Gif->SetAnimate(false);
    EXPECT_FALSE(Gif->TimerHasHandler()) << "stopping removes the tick handler";
    EXPECT_TRUE(Run(300).empty());
}

// Only the transparent index shows the parent: a drawn pixel of the same
// colour stays, also when stretched.
TEST_F(GIFAnimatorTest, TransparencyIsByIndexNotByColour) {
    GIFBuilder b(4, 2);
    b.GraphicControl(0, 0, 0).Image(0, 0, 4, 2, {0, 3, 3, 0, 0, 3, 3, 0});
    std::string bytes = b.Trailer();
    bytes.replace(13 + 9, 3, bytes.substr(13, 3));  // colour 3 = the transparent colour 0
    Gif->Image()->LoadFromBytes(bytes);
    COLORREF key = Gif->Image()->GlobalColorMap[0];
    ASSERT_NE(key, ColorToRGB(clWhite));
    for (bool stretch : {false, true}) {
        Gif->SetStretch(stretch);
        if (stretch) Gif->SetBounds(Gif->Left(), Gif->Top(), 8, 4);
        ui::Pump(30);
        int scale = stretch ? 2 : 1;
        EXPECT_EQ(ScreenPixel(0, 0), ColorToRGB(clWhite)) << "the parent shows, stretch " << stretch;
        EXPECT_EQ(ScreenPixel(1 * scale, 0), key) << "drawn pixel kept, stretch " << stretch;
        EXPECT_EQ(ScreenPixel(2 * scale, 1 * scale), key) << stretch;
        EXPECT_EQ(ScreenPixel(3 * scale, 1 * scale), ColorToRGB(clWhite)) << stretch;
    }
}

TEST_F(GIFAnimatorTest, LoopOffStopsAfterTheLastFrame) {
    Gif->Image()->LoadFromBytes(branding::PlainGIF(40, 20, {5, 5, 5}));
    Gif->Loop = false;
    int stopped = 0;
    Gif->OnStop = [&](TObject*) { ++stopped; };
    Gif->SetAnimate(true);
    std::vector<Step> steps = Run(800);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps.back().Index, 0);
    EXPECT_FALSE(Gif->Animate());
    EXPECT_EQ(stopped, 1);
}

TEST_F(GIFAnimatorTest, DisposalReachesTheScreen) {
    // Frame 0 fills the screen (colour 1); frame 1, a square of colour 2, is
    // restored to the fill colour; frame 2, a square of colour 3, stays.
    GIFBuilder b(40, 20);
    b.GraphicControl(1, 10).Image(0, 0, 40, 20, std::vector<uint8_t>(800, 1));
    b.GraphicControl(2, 10).Image(5, 5, 10, 10, std::vector<uint8_t>(100, 2));
    b.GraphicControl(1, 30).Image(30, 10, 4, 4, std::vector<uint8_t>(16, 3));
    Gif->Image()->LoadFromBytes(b.Trailer());
    const std::vector<uint32_t>& map = Gif->Image()->GlobalColorMap;
    Gif->SetAnimate(true);
    std::vector<COLORREF> square, corner, small;
    Gif->OnFrameChanged = [&](TObject*) {};
    DWORD start = GetTickCount();
    // Sample the screen after each frame has been painted.
    int last = Gif->FrameIndex();
    while (GetTickCount() - start < 1200 && square.size() < 4) {
        ui::Pump(5);
        if (Gif->FrameIndex() == last) continue;
        last = Gif->FrameIndex();
        ui::Pump(5);
        if (last == 2) {
            square.push_back(ScreenPixel(8, 8));
            small.push_back(ScreenPixel(31, 11));
            corner.push_back(ScreenPixel(0, 0));
        }
        if (last == 1) EXPECT_EQ(ScreenPixel(8, 8), map[2]) << "frame 1 drawn";
    }
    ASSERT_GE(square.size(), 2u);
    for (size_t i = 0; i < square.size(); ++i) {
        EXPECT_EQ(square[i], ColorToRGB(clWindow)) << "frame 1 restored to the window colour";
        EXPECT_EQ(small[i], map[3]);
        EXPECT_EQ(corner[i], map[1]);
    }
}

TEST_F(GIFAnimatorTest, DestroyingWhileATickIsQueuedReturns) {
    Gif->Image()->LoadFromBytes(branding::PlainGIF(40, 20, {5, 5}));
    Gif->SetAnimate(true);
    Sleep(200);  // the timer has posted its tick and waits for it to run
    DWORD start = GetTickCount();
    delete Gif;
    Gif = nullptr;
    EXPECT_LT(GetTickCount() - start, 1000u);
    ui::Pump(100);  // the stale tick finds no timer
}

TEST_F(GIFAnimatorTest, AsynchronousDrawingStepsOnTheWorkerThread) {
    Gif->Image()->LoadFromBytes(branding::PlainGIF(40, 20, {5, 5, 5}));
    Gif->SetAsyncDrawing(true);
    Gif->SetAnimate(true);
    int first = Gif->FrameIndex();
    Sleep(400);  // no messages handled
    EXPECT_NE(Gif->FrameIndex(), first);
    Gif->SetAnimate(false);
}
