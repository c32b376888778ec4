// The paths a message takes through the window core, where a fault shows
// only in some order: windows bound and unbound around creation and
// destruction, reflection that must not reach the wrong control, wrapper and
// hook chains changed while a message runs through them, windowless children
// under the mouse, focus and dialog keys, references to destroyed controls,
// and the clipboard.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/win/support/UiDriver.h"
#include "tests/win/toolkit/ToolkitApplicationTest.h"
#include "toolkit/Clipboard.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace {

using WindowPaths = ToolkitApplicationTest;

using TLog = std::vector<std::string>;
// The message the chains below log.
constexpr UINT kProbe = WM_APP + 21;

// A native static control made entirely from its creation parameters.
class TStyledStatic : public TWinControl {
public:
    TStyledStatic(TComponent* owner, TWinControl* parent, int left) : TWinControl(owner, parent) {
        SetCaption("Static");
        SetBounds(left, 6, 70, 20);
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.WinClassName = "STATIC";
        params.Style |= SS_CENTER;
        params.ExStyle |= WS_EX_STATICEDGE;
    }
};

// A form that logs what reaches its own procedure and creates a child while
// its window is being created.
class TLoggingForm : public TForm {
public:
    TLoggingForm(TComponent* owner, TLog* log, bool nestChild = false)
        : TForm(owner, "Paths", 300, 200), FLog(log), FNest(nestChild) {}
    TStyledStatic* Nested = nullptr;
    std::vector<UINT> Seen, ReflectedToSelf;
    bool OnReflected(TMessage& m) override {
        ReflectedToSelf.push_back(m.Msg);
        return TForm::OnReflected(m);
    }

protected:
    void WndProc(TMessage& m) override {
        Seen.push_back(m.Msg);
        if (m.Msg == kProbe) FLog->push_back("form");
        if (m.Msg == WM_CREATE && FNest) {
            Nested = new TStyledStatic(this, this, 100);
            Nested->HandleNeeded();
        }
        TForm::WndProc(m);
    }

private:
    TLog* FLog;
    bool FNest;
};

// A child that logs every message reflected to it and answers none.
class TReflectionLog : public TCustomControl {
public:
    TReflectionLog(TComponent* owner, TWinControl* parent) : TCustomControl(owner, parent) { SetBounds(0, 0, 40, 40); }
    std::vector<UINT> Reflected;
    bool OnReflected(TMessage& m) override {
        Reflected.push_back(m.Msg);
        return false;
    }
};

class TNamedWrapper : public TWindowProcWrapper {
public:
    TNamedWrapper(std::string name, TLog* log) : TWindowProcWrapper(nullptr), FName(std::move(name)), FLog(log) {}
    std::function<void()> OnProbe;  // runs before the message is passed on

protected:
    void WrappedWndProc(TMessage& m) override {
        if (m.Msg == kProbe) {
            FLog->push_back(FName);
            if (OnProbe) OnProbe();
        }
        CallPrevious(m);
    }

private:
    std::string FName;
    TLog* FLog;
};

class TBlock : public TGraphicControl {
public:
    TBlock(TComponent* owner, TWinControl* parent, int left, int top) : TGraphicControl(owner, parent) {
        SetBounds(left, top, 40, 40);
    }
    int Clicks = 0, Downs = 0;
    void Click() override { ++Clicks; }
    void MouseDown(TMouseButton, TShiftState, int, int) override { ++Downs; }
};

// An edit that keeps the Tab key, as a multi-line text would.
class TTabbingEdit : public TEdit {
public:
    using TEdit::TEdit;
    UINT DialogCode() override { return TEdit::DialogCode() | DLGC_WANTTAB; }
};

class TFocusWatcher : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TWinControl* Told = nullptr;
    void FormFocusChanged(TWinControl* focused) override { Told = focused; }
};

LONG_PTR StyleOf(HWND wnd) { return GetWindowLongPtrA(wnd, GWL_STYLE); }

}  // namespace

TEST_F(WindowPaths, WindowsAreMadeFromTheirParametersAndForgottenWhenDestroyed) {
    TLog log;
    auto* form = new TLoggingForm(Application, &log, true);
    auto* shown = new TStyledStatic(form, form, 5);
    auto* hidden = new TStyledStatic(form, form, 180);
    hidden->SetVisible(false);
    hidden->SetEnabled(false);
    EXPECT_FALSE(form->HandleAllocated());

    // Asking a child for its window creates the parent first, with the child.
    HWND wnd = shown->Handle();
    ASSERT_TRUE(form->HandleAllocated());
    EXPECT_EQ(GetParent(wnd), form->Handle());
    char cls[32];
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "Static");
    EXPECT_EQ(StyleOf(wnd) & SS_TYPEMASK, SS_CENTER);
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_TRUE(StyleOf(wnd) & WS_VISIBLE);
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_FALSE(StyleOf(hidden->Handle()) & WS_VISIBLE);
    EXPECT_TRUE(StyleOf(hidden->Handle()) & WS_DISABLED);
    // Each child has its own identifier, by which the parent finds it.
    int id = GetDlgCtrlID(wnd);
    EXPECT_NE(id, GetDlgCtrlID(hidden->Handle()));
    EXPECT_EQ(GetDlgItem(form->Handle(), id), wnd);

    // A window created while its parent's is being created is bound to its
    // own object, and the parent keeps getting its messages.
    ASSERT_NE(form->Nested, nullptr);
    EXPECT_EQ(TWinControl::FromHandle(form->Nested->Handle()), form->Nested);
    EXPECT_EQ(TWinControl::FromHandle(form->Handle()), form);
    size_t seen = form->Seen.size();
    form->Show();
    EXPECT_GT(form->Seen.size(), seen);

    // A destroyed window is forgotten; asked again, the control makes a new one.
    shown->DestroyHandle();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(shown->HandleAllocated());
    EXPECT_EQ(TWinControl::FromHandle(wnd), nullptr);
    HWND again = shown->Handle();
    ASSERT_TRUE(IsWindow(again));
    EXPECT_EQ(TWinControl::FromHandle(again), shown);
    EXPECT_EQ(StyleOf(again) & SS_TYPEMASK, SS_CENTER);

    // The system destroying the parent window unbinds every control on it.
    HWND formWnd = form->Handle();
    DestroyWindow(formWnd);
    EXPECT_FALSE(form->HandleAllocated());
    EXPECT_FALSE(shown->HandleAllocated());
    EXPECT_FALSE(form->Nested->HandleAllocated());
    EXPECT_EQ(TWinControl::FromHandle(formWnd), nullptr);
    EXPECT_EQ(TWinControl::FromHandle(again), nullptr);
}

TEST_F(WindowPaths, OnlyTheChildThatSentANotificationHasItReflected) {
    TLog log;
    auto* form = new TLoggingForm(Application, &log);
    auto* child = new TReflectionLog(form, form);
    form->Show();
    HWND foreign = CreateWindowExA(0, "STATIC", "raw", WS_CHILD, 0, 50, 40, 20, form->Handle(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);

    // A menu command carries no window: the form handles it itself.
    form->Seen.clear();
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(7, 0), 0);
    EXPECT_TRUE(child->Reflected.empty());
    ASSERT_FALSE(form->Seen.empty());
    EXPECT_EQ(form->Seen.back(), static_cast<UINT>(WM_COMMAND));

    // A menu item drawn by the form may carry any value as its window.
    DRAWITEMSTRUCT menuItem{};
    menuItem.CtlType = ODT_MENU;
    menuItem.hwndItem = child->Handle();
    SendMessageA(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem));
    EXPECT_TRUE(child->Reflected.empty());

    // From a window without an object nothing is reflected.
    NMHDR header{foreign, 1, static_cast<UINT>(NM_CLICK)};
    SendMessageA(form->Handle(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
    EXPECT_TRUE(child->Reflected.empty());
    EXPECT_TRUE(form->ReflectedToSelf.empty());

    // What the child leaves unanswered gets the parent's default answer.
    HDC dc = GetDC(child->Handle());
    LRESULT brush = SendMessageA(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(child->Handle()));
    EXPECT_EQ(child->Reflected, (std::vector<UINT>{WM_CTLCOLORSTATIC}));
    EXPECT_EQ(brush, DefWindowProcA(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(child->Handle())));
    ReleaseDC(child->Handle(), dc);
    DestroyWindow(foreign);
}

TEST_F(WindowPaths, WrapperChainsStayInOrderWhileTheyChange) {
    TLog log;
    auto* form = new TLoggingForm(Application, &log);
    auto* other = new TLoggingForm(Application, &log);
    form->Show();
    other->Show();
    auto send = [&](TWinControl* to) {
        log.clear();
        SendMessageA(to->Handle(), kProbe, 0, 0);
        return log;
    };
    auto* a = new TNamedWrapper("a", &log);
    auto* b = new TNamedWrapper("b", &log);
    auto* c = new TNamedWrapper("c", &log);
    a->Attach(form);
    b->Attach(form);
    c->Attach(form);
    EXPECT_EQ(send(form), (TLog{"c", "b", "a", "form"}));

    // Attached again, a wrapper moves to the front and still runs once.
    a->Attach(form);
    EXPECT_EQ(send(form), (TLog{"a", "c", "b", "form"}));

    // A wrapper that frees the next one while the message runs through it
    // passes the message on to the one after.
    c->OnProbe = [&] {
        delete b;
        b = nullptr;
    };
    EXPECT_EQ(send(form), (TLog{"a", "c", "form"}));
    c->OnProbe = nullptr;
    a->Detach();
    EXPECT_EQ(a->Target(), nullptr);
    EXPECT_EQ(send(form), (TLog{"c", "form"}));

    // Attached to another control, a wrapper leaves the first one.
    c->Attach(other);
    EXPECT_EQ(c->Target(), other);
    EXPECT_EQ(send(form), (TLog{"form"}));
    EXPECT_EQ(send(other), (TLog{"c", "form"}));
    delete a;
    delete c;
    EXPECT_EQ(send(other), (TLog{"form"}));
}

TEST_F(WindowPaths, MessageHooksMayChangeTheChainWhileAMessageRuns) {
    TLog log;
    auto* form = new TLoggingForm(Application, &log);
    form->Show();
    int baseline = Application->MessageHookCount();
    auto post = [&](WPARAM what) {
        log.clear();
        PostMessageA(form->Handle(), kProbe, what, 0);
        Application->ProcessMessages();
        return log;
    };
    auto* owner = new TComponent(nullptr);
    TMessageHook* older = nullptr;
    TMessageHook* newer = nullptr;
    older = new TMessageHook(owner, [&](MSG& msg) {
        if (msg.message == kProbe) log.push_back("older");
        return false;
    });
    newer = new TMessageHook(owner, [&](MSG& msg) {
        if (msg.message != kProbe) return false;
        log.push_back("newer");
        switch (msg.wParam) {
            case 1: return true;  // used: nobody else sees it
            case 2:
                delete older;
                older = nullptr;
                return false;
            case 3:
                new TMessageHook(owner, [&](MSG& m) {
                    if (m.message == kProbe) log.push_back("added");
                    return false;
                });
                return false;
            case 4: delete newer; return false;
            default: return false;
        }
    });
    EXPECT_EQ(post(0), (TLog{"newer", "older", "form"}));
    EXPECT_EQ(post(1), (TLog{"newer"}));
    // An older hook freed by a newer one does not run on the message.
    EXPECT_EQ(post(2), (TLog{"newer", "form"}));
    // A hook added while a message runs sees only the messages after it.
    EXPECT_EQ(post(3), (TLog{"newer", "form"}));
    EXPECT_EQ(post(0), (TLog{"added", "newer", "form"}));
    // A hook that frees itself while it runs: the rest of the chain goes on.
    EXPECT_EQ(Application->MessageHookCount(), baseline + 2);
    EXPECT_EQ(post(4), (TLog{"added", "newer", "form"}));
    EXPECT_EQ(Application->MessageHookCount(), baseline + 1);
    EXPECT_EQ(post(0), (TLog{"added", "form"}));
    delete owner;
    EXPECT_EQ(Application->MessageHookCount(), baseline);

    // Dialog keys are the oldest hook: a later hook sees Tab first.
    auto* first = new TEdit(form, form, 10, 10, 80, 20);
    auto* second = new TEdit(form, form, 10, 40, 80, 20);
    bool swallowTab = true;
    new TMessageHook(form, [&](MSG& msg) { return swallowTab && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB; });
    ui::Key(first, VK_TAB);
    EXPECT_EQ(GetFocus(), first->Handle());
    swallowTab = false;
    ui::Key(first, VK_TAB);
    EXPECT_EQ(GetFocus(), second->Handle());
}

TEST_F(WindowPaths, TheMouseGoesToTheTopmostVisibleEnabledWindowlessChild) {
    auto* form = new TForm(Application, "Hits", 200, 120);
    auto* bottom = new TBlock(form, form, 10, 10);
    auto* middle = new TBlock(form, form, 20, 20);
    auto* top = new TBlock(form, form, 30, 30);
    auto* windowed = new TPanel(form, form);
    windowed->SetBounds(100, 10, 40, 40);
    auto* under = new TBlock(form, form, 110, 20);
    form->Show();

    EXPECT_EQ(form->ControlAtPos(POINT{35, 35}), top);
    EXPECT_EQ(form->ControlAtPos(POINT{25, 25}), middle);
    EXPECT_EQ(form->ControlAtPos(POINT{15, 15}), bottom);
    EXPECT_EQ(form->ControlAtPos(POINT{5, 5}), nullptr);
    top->SetVisible(false);
    EXPECT_EQ(form->ControlAtPos(POINT{35, 35}), middle);
    // A windowed child takes its own mouse input: the windowless search
    // passes it by.
    EXPECT_EQ(form->ControlAtPos(POINT{115, 25}), under);

    ui::ClickAt(form->Handle(), 35, 35);
    EXPECT_EQ(middle->Clicks, 1);
    EXPECT_EQ(top->Clicks, 0);
    // A disabled control is passed by like a hidden one: the control below
    // it takes the click.
    middle->SetEnabled(false);
    EXPECT_EQ(form->ControlAtPos(POINT{35, 35}), bottom);
    ui::ClickAt(form->Handle(), 35, 35);
    EXPECT_EQ(middle->Clicks, 1);
    EXPECT_EQ(middle->Downs, 1);
    EXPECT_EQ(bottom->Clicks, 1);
}

TEST_F(WindowPaths, TabOrderDialogKeysAndTheActiveControl) {
    auto* form = new TForm(Application, "Keys", 300, 220);
    auto* watcher = new TFocusWatcher(form, form);
    auto* second = new TEdit(form, form, 10, 10, 80, 20);
    auto* first = new TEdit(form, form, 10, 40, 80, 20);
    auto* hidden = new TEdit(form, form, 10, 70, 80, 20);
    auto* disabled = new TEdit(form, form, 10, 100, 80, 20);
    auto* panel = new TPanel(form, form);
    panel->SetBounds(150, 10, 140, 100);
    auto* inner = new TTabbingEdit(form, panel, 10, 10, 80, 20);
    auto* ok = new TButton(form, form, "OK", 10, 180, 70, 24);
    auto* cancel = new TButton(form, form, "Cancel", 90, 180, 70, 24);
    first->TabOrder = 0;
    second->TabOrder = 1;
    panel->TabOrder = 2;
    hidden->SetVisible(false);
    disabled->SetEnabled(false);
    int oks = 0, cancels = 0;
    ok->OnClick = [&](TObject*) { ++oks; };
    cancel->OnClick = [&](TObject*) { ++cancels; };
    form->DefaultButton = ok;
    form->CancelButton = cancel;
    form->Show();
    ui::Pump();

    // Tab order first, then creation order; depth first into containers.
    EXPECT_EQ(form->TabList(), (std::vector<TWinControl*>{first, second, inner, ok, cancel}));
    EXPECT_EQ(GetFocus(), first->Handle());
    EXPECT_EQ(form->ActiveControl(), first);
    EXPECT_EQ(watcher->Told, first);
    ui::Key(first, VK_TAB);
    EXPECT_EQ(GetFocus(), second->Handle());
    EXPECT_EQ(form->ActiveControl(), second);
    EXPECT_EQ(watcher->Told, second);
    // Backwards from the first wraps around to the last.
    first->SetFocus();
    form->SelectNext(false);
    EXPECT_EQ(GetFocus(), cancel->Handle());
    form->SelectNext(true);
    EXPECT_EQ(GetFocus(), first->Handle());
    // A control that wants Tab keeps it.
    ui::Key(inner, VK_TAB);
    EXPECT_EQ(GetFocus(), inner->Handle());

    // Enter and Escape in an edit press the default and cancel buttons; a
    // focused button takes Enter itself.
    ui::Key(second, VK_RETURN);
    ui::Key(second, VK_ESCAPE);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    ui::Key(cancel, VK_RETURN);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 2);
    ok->SetEnabled(false);
    ui::Key(second, VK_RETURN);
    EXPECT_EQ(oks, 1);

    // A destroyed active control is no longer the form's active control.
    second->SetFocus();
    ASSERT_EQ(form->ActiveControl(), second);
    delete second;
    EXPECT_EQ(form->ActiveControl(), nullptr);
    SendMessageA(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
}

TEST_F(WindowPaths, ClipboardTextRoundTripsAndTheClipboardIsLeftClosed) {
    auto* form = new TForm(Application, "Clipboard", 100, 50);
    HWND owner = form->Handle();
    ASSERT_TRUE(WriteClipboardText(owner, "first line\r\nsecond"));
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(ReadClipboardText(owner), std::optional<std::string>("first line\r\nsecond"));
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    ASSERT_TRUE(WriteClipboardText(owner, ""));
    EXPECT_EQ(ReadClipboardText(owner), std::optional<std::string>(""));

    // Without text on it there is nothing to read.
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(ReadClipboardText(owner), std::nullopt);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}
