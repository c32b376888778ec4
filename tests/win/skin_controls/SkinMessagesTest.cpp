// Skin messages reach real forms: the owner form first, then every other
// form in creation order, synchronously, with the skin data and 1000.
#include <gtest/gtest.h>

#include <vector>

#include "skin/data/vlSkinData.h"
#include "skin/controls/vlSkinButtons.h"
#include "skin/controls/vlSkinRelay.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"

namespace {

struct Heard {
    std::string Form;
    UINT Message;
    WPARAM First;
    LPARAM Second;
};
std::vector<Heard> log;

class TListeningForm : public TForm {
public:
    TListeningForm(TComponent* owner, const char* name) : TForm(owner, name, 100, 80) { Name = name; }

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg >= WM_SKINCHANGING && m.Msg <= WM_SKINSTRINGSCHANGED)
            log.push_back({Name, m.Msg, m.WParam, m.LParam});
        TForm::WndProc(m);
    }
};

class SkinMessages : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        InstallSkinMessages();
        log.clear();
    }
    void TearDown() override { delete FApplication; }
    TApplication* FApplication = nullptr;
};

}  // namespace

TEST_F(SkinMessages, OwnerFormFirstThenTheOthersInCreationOrder) {
    auto* first = new TListeningForm(Application, "first");
    auto* second = new TListeningForm(Application, "second");
    auto* third = new TListeningForm(Application, "third");
    (void)first;
    (void)third;
    EXPECT_EQ(WM_SKINCHANGING, 1225u);
    EXPECT_EQ(WM_SKINSTRINGSCHANGED, 1274u);
    TvlSkinData skin(second);
    skin.Broadcast(TvlSkinNotice::Changing);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Form, "second");
    EXPECT_EQ(log[1].Form, "first");
    EXPECT_EQ(log[2].Form, "third");
    for (const Heard& h : log) {
        EXPECT_EQ(h.Message, WM_SKINCHANGING);
        EXPECT_EQ(h.First, reinterpret_cast<WPARAM>(&skin));
        EXPECT_EQ(h.Second, 1000);
    }

    // Without a form as owner every form hears it once, in creation order.
    log.clear();
    TvlSkinData loose;
    TvlResourceStrData strings;
    loose.SetResourceStrData(&strings);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Form, "first");
    EXPECT_EQ(log[0].Message, WM_SKINSTRINGSCHANGED);
}

TEST_F(SkinMessages, AFailedLoadStillTellsEveryFormToDropTheSkin) {
    auto* form = new TListeningForm(Application, "main");
    TvlSkinData skin(form);
    TvlCompressedStoredSkin broken;
    broken.SetCompressedData("not a zlib stream");
    EXPECT_THROW(skin.LoadStoredSkin(&broken), EDecompressionError);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].Message, WM_SKINCHANGING);
    EXPECT_EQ(log[1].Message, WM_SKINCHANGED);
    EXPECT_EQ(log[2].Message, WM_SKINCHANGED_MDI);
    EXPECT_TRUE(skin.IsEmpty());
}

TEST_F(SkinMessages, TheBuiltInSkinComesFromTheProgramsResources) {
    auto* form = new TListeningForm(Application, "main");
    TvlCompressedStoredSkin stored;
    stored.SetCompressedData(BuiltInSkinStream());
    ASSERT_FALSE(stored.IsDataEmpty());
    TvlSkinData skin(form);
    skin.SetCompressedStoredSkin(&stored);
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_EQ(skin.SkinName, "Modern");
    EXPECT_GE(skin.FindControlIndex("listview"), 0);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].Message, WM_SKINCHANGED);
}

namespace {
struct TCountingPanel : TvlSkinElement<TPanel> {
    using TvlSkinElement::TvlSkinElement;
    int Changing = 0, Changed = 0;
    void SkinChanging() override { ++Changing; }
    void SkinChanged() override { ++Changed; }
};
}  // namespace

TEST_F(SkinMessages, FormsWithoutAFramePassASkinSwitchToTheirControls) {
    // Two plain forms, neither with a frame component; the skin is the
    // first one's, as the planner's is its main window's.
    auto* owner = new TListeningForm(Application, "owner");
    auto* other = new TListeningForm(Application, "other");
    TvlSkinData skin(owner);
    TvlSkinData elsewhere(nullptr);
    auto* button = new TvlSkinButton(owner, owner);
    button->SetSkinData(&skin);
    auto* outer = new TCountingPanel(other, other);
    auto* inner = new TCountingPanel(other, outer);  // nested: reached depth-first
    auto* foreign = new TCountingPanel(other, other);
    outer->SetSkinData(&skin);
    inner->SetSkinData(&skin);
    foreign->SetSkinData(&elsewhere);
    owner->CreateHandles();
    other->CreateHandles();
    ASSERT_EQ(button->ElementIndex(), -1);

    TvlCompressedStoredSkin stored;
    stored.SetCompressedData(BuiltInSkinStream());
    skin.SetCompressedStoredSkin(&stored);
    EXPECT_GE(button->ElementIndex(), 0) << "the button found its element in the new skin";
    EXPECT_EQ(outer->Changing, 1);
    EXPECT_EQ(outer->Changed, 1);
    EXPECT_EQ(inner->Changing, 1);
    EXPECT_EQ(inner->Changed, 1);
    EXPECT_EQ(foreign->Changing + foreign->Changed, 0) << "another skin's control hears nothing";

    // A skin that cannot be read leaves every control without its element.
    TvlCompressedStoredSkin broken;
    broken.SetCompressedData("not a zlib stream");
    EXPECT_THROW(skin.LoadStoredSkin(&broken), EDecompressionError);
    EXPECT_EQ(button->ElementIndex(), -1);
    EXPECT_EQ(inner->Changing, 2);
    EXPECT_EQ(inner->Changed, 2);
}
