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
std::vector<Heard> heard;

class TListeningForm : public TForm {
public:
    TListeningForm(TComponent* owner, const char* name) : TForm(owner, name, 100, 80) { Name = name; }

protected:
    void WndProc(TMessage& m) override {
        if (m.Msg >= WM_SKINCHANGING && m.Msg <= WM_SKINSTRINGSCHANGED)
            heard.push_back({Name, m.Msg, m.WParam, m.LParam});
        TForm::WndProc(m);
    }
};

class SkinMessages : public ::testing::Test {
protected:
    void SetUp() override {
        FApplication = new TApplication();
        Application->Initialize();
        InstallSkinMessages();
        heard.clear();
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
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].Form, "second");
    EXPECT_EQ(heard[1].Form, "first");
    EXPECT_EQ(heard[2].Form, "third");
    for (const Heard& h : heard) {
        EXPECT_EQ(h.Message, WM_SKINCHANGING);
        EXPECT_EQ(h.First, reinterpret_cast<WPARAM>(&skin));
        EXPECT_EQ(h.Second, 1000);
    }

    // Without a form as owner every form hears it once, in creation order.
    heard.clear();
    TvlSkinData loose;
    TvlResourceStrData strings;
    loose.SetResourceStrData(&strings);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].Form, "first");
    EXPECT_EQ(heard[0].Message, WM_SKINSTRINGSCHANGED);
}

TEST_F(SkinMessages, AFailedLoadStillTellsEveryFormToDropTheSkin) {
    auto* form = new TListeningForm(Application, "main");
    TvlSkinData skin(form);
    TvlCompressedStoredSkin broken;
    broken.SetCompressedData("not a zlib stream");
    EXPECT_THROW(skin.LoadStoredSkin(&broken), EDecompressionError);
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].Message, WM_SKINCHANGING);
    EXPECT_EQ(heard[1].Message, WM_SKINCHANGED);
    EXPECT_EQ(heard[2].Message, WM_SKINCHANGED_MDI);
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
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[1].Message, WM_SKINCHANGED);
}

namespace {
// Counts the skin notices it hears.
template <class Base>
struct TCounting : Base {
    using Base::Base;
    int Changing = 0, Changed = 0;
    void SkinChanging() override { ++Changing; }
    void SkinChanged() override { ++Changed; }
};
using TCountingPanel = TCounting<TvlSkinElement<TPanel>>;
// A component that takes part in skin changes without being a control.
struct TSkinnedComponent : TComponent, TvlSkinAware {
    using TComponent::TComponent;
    TvlSkinData* Skin = nullptr;
    TvlSkinData* SkinData() const override { return Skin; }
};
using TCountingComponent = TCounting<TSkinnedComponent>;
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

TEST_F(SkinMessages, ANoticeWithoutASkinSentToAFormReachesEveryControlOnIt) {
    auto* form = new TListeningForm(Application, "plain");
    auto* other = new TListeningForm(Application, "other");
    TvlSkinData skin(form), elsewhere(nullptr);
    auto* outer = new TCountingPanel(form, form);
    auto* inner = new TCountingPanel(form, outer);
    auto* foreign = new TCountingPanel(form, form);
    auto* bare = new TCountingPanel(form, form);  // no skin at all
    auto* elsewhereOnOther = new TCountingPanel(other, other);
    outer->SetSkinData(&skin);
    inner->SetSkinData(&skin);
    foreign->SetSkinData(&elsewhere);
    auto* component = new TCountingComponent(form);
    component->Skin = &elsewhere;
    form->CreateHandles();
    other->CreateHandles();
    // Each skinned control once, whatever its skin, and only on this form.
    SendMessageA(form->Handle(), WM_SKINCHANGING, 0, SkinMessageParam);
    for (TCountingPanel* p : {outer, inner, foreign, bare}) {
        EXPECT_EQ(p->Changing, 1);
        EXPECT_EQ(p->Changed, 0);
    }
    EXPECT_EQ(component->Changing, 1);
    EXPECT_EQ(elsewhereOnOther->Changing, 0);
    SendMessageA(form->Handle(), WM_SKINCHANGED, 0, SkinMessageParam);
    for (TCountingPanel* p : {outer, inner, foreign, bare}) EXPECT_EQ(p->Changed, 1);
    EXPECT_EQ(component->Changed, 1);
    // A notice naming a skin, sent straight, is the form's (its frame's)
    // alone: the controls hear a skin's change from the skin's broadcast,
    // once, and only the controls of that skin.
    SendMessageA(form->Handle(), WM_SKINCHANGING, reinterpret_cast<WPARAM>(&skin), SkinMessageParam);
    EXPECT_EQ(outer->Changing, 1);
    skin.Broadcast(TvlSkinNotice::Changing);
    EXPECT_EQ(outer->Changing, 2);
    EXPECT_EQ(inner->Changing, 2);
    EXPECT_EQ(foreign->Changing, 1);
    EXPECT_EQ(bare->Changing, 1);
    // Other skin messages without a skin are left to the form.
    SendMessageA(form->Handle(), WM_SKINSTRINGSCHANGED, 0, SkinMessageParam);
    EXPECT_EQ(outer->Changed, 1);
    EXPECT_EQ(heard.back().Message, static_cast<UINT>(WM_SKINSTRINGSCHANGED)) << "the form still hears it";
}
