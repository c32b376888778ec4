#pragma once
// Top-level windows (forms), modal loops with dialog keys, and the
// application object that owns the message loop and the forms list.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "toolkit/Controls.h"
#include "toolkit/Hints.h"

class TWindowTimer;

enum TModalResultValue : int { mrNone = 0, mrOk = 1, mrCancel = 2 };
// Tool windows have a smaller caption and no task-bar button.
enum TBorderStyle { bsSizeable, bsDialog, bsSingle, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poScreenCenter };
enum TBorderIconKind : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TCustomControl {
public:
    // The window is created when first needed (at the latest when shown),
    // with the style CreateParams gives for the border style and icons.
    TForm(TComponent* owner, const std::string& caption, int clientWidth, int clientHeight,
          TBorderStyle border = bsSizeable, unsigned borderIcons = biSystemMenu | biMinimize | biMaximize);
    ~TForm() override;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    unsigned BorderIcons() const { return FBorderIcons; }

    TPosition Position = poScreenCenter;
    int ModalResult = mrNone;
    TNotifyEvent OnShow, OnResize, OnDestroy;
    TCloseQueryEvent OnCloseQuery;

    void SetClientSize(int width, int height);
    void Show();
    void Hide();
    int ShowModal();
    void Close();
    bool IsModal() const { return FModal; }

    TWinControl* ActiveControl() const { return FActiveControl.get(); }
    void SetActiveControl(TWinControl* control);

    // The buttons Enter and Escape press when the focused control does not
    // take those keys itself.
    TWinControl* DefaultButton = nullptr;
    TWinControl* CancelButton = nullptr;

    // Tab, Shift+Tab, Enter and Escape; true when the key was used.
    bool DialogKey(unsigned short key, bool shift);
    // Focus order: every focusable control, depth first by tab order.
    std::vector<TWinControl*> TabList() const;
    void SelectNext(bool forward);

    // Frees the form: the window goes first, while the whole object exists.
    void Release();

    int ClientWidth() const override;
    int ClientHeight() const override;

    // The DPI the form is laid out at: 96, the layout tables' own, until its
    // window is made at another. ScaleToDpi lays every control out again
    // from the 96-DPI values; at the DPI the form already has it does nothing.
    int Dpi() const { return FDpi; }
    void ScaleToDpi(int dpi);
    void ChangeScale(int fromDpi, int toDpi) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ChildFocused(TWinControl* control) override;
    void WndProc(TMessage& m) override;
    void OnSize(TMessage& m) override;
    void OnMove(TMessage& m) override;
    virtual void OnCloseWindow(TMessage& m);
    virtual void OnActivateWindow(TMessage& m);
    // The window moved to a monitor of another scale: laid out again at the
    // new DPI in the rectangle the system suggests.
    virtual void OnDpiChanged(TMessage& m);
    void Notification(TComponent* component, bool removing) override;

private:
    void CenterOnScreen();
    bool CloseQuery();
    void TakeWindowBounds();

    TBorderStyle FBorderStyle;
    unsigned FBorderIcons;
    // The client size asked for before the window exists.
    int FClientWidth = 0, FClientHeight = 0;
    int FDpi = kDesignDpi;
    TDesignLength FDesignClientWidth, FDesignClientHeight;
    TComponentRef<TWinControl> FActiveControl{this};  // cleared when the control goes
    bool FModal = false;
    bool FShownOnce = false;
};

// The form a control sits on, or null.
TForm* GetParentForm(const TControl* control);

// Sees every message the application takes from its queue before it is
// dispatched (in the main loop, ProcessMessages and modal loops), newest
// hook first; a hook that returns true has used the message. The hook is
// removed when it is destroyed, that is with its owner.
class TMessageHook : public TComponent {
public:
    using THookFunc = std::function<bool(MSG& msg)>;
    TMessageHook(TComponent* owner, THookFunc hook);
    ~TMessageHook() override;
    bool Run(MSG& msg) { return FHook && FHook(msg); }

private:
    THookFunc FHook;
};

// Work the application does whenever its queue runs empty, before it waits
// for the next message (action lists bring their actions up to date). Each
// piece is registered under its owner and must be removed by it.
void AddIdleWork(const void* owner, std::function<void()> work);
void RemoveIdleWork(const void* owner);

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    std::string Title;
    TForm* MainForm = nullptr;
    bool Terminated = false;

    void Initialize();
    template <class F>
    void CreateForm(F*& reference) {
        reference = new F(this);
        if (!MainForm) MainForm = reference;
    }
    void Run();
    void Terminate();
    // Handles one queued message, with dialog keys; false when none was queued.
    bool ProcessMessage();
    void ProcessMessages();
    // Waits for one message and handles it; runs the idle work first when
    // the queue is empty.
    void HandleMessage();
    void Idle();

    void HandleException(const std::exception& e);
    void ShowException(const std::exception& e);

    const std::vector<TForm*>& Forms() const { return FForms; }
    void AddForm(TForm* f) { FForms.push_back(f); }
    void RemoveForm(TForm* f);

    void AddMessageHook(TMessageHook* hook);
    void RemoveMessageHook(TMessageHook* hook);
    int MessageHookCount() const { return static_cast<int>(FHooks.size()); }

    // ---- Hints (Hints.cpp) ----
    // The pause before a control's hint shows, before the next one shows
    // while one is up, and before a shown hint goes (milliseconds).
    int HintPause = 500, HintShortPause = 50, HintHidePause = 2500;
    // Runs for every hint about to show; may change the text, the place and
    // the hide pause, or clear canShow.
    TShowHintEvent OnShowHint;
    bool ShowHint() const { return FShowHint; }
    // Off frees the hint window; on makes it again from the hint window class.
    void SetShowHint(bool value);
    // Makes the application's hint windows; null: the toolkit's own.
    void SetHintWindowClass(THintWindowClass windowClass) { FHintWindowClass = std::move(windowClass); }
    THintWindow* HintWindow() const { return FHintWindow; }
    // The control whose hint is pending or shown.
    TControl* HintControl() const { return FHintControl.get(); }
    // The mouse is over `control` (null: over none of ours) at a screen point.
    void HintMouseMove(TControl* control, POINT screen);
    // Shows the hint of the control under the mouse now (the pause ran out).
    void ActivateHint(POINT screen);
    void CancelHint();
    void HintTimerExpired();

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    // Queued mouse and key messages move, show and end hints.
    void HintMessage(const MSG& msg);
    void StartHintTimer(int milliseconds);
    bool FShowHint = true;
    THintWindowClass FHintWindowClass;
    THintWindow* FHintWindow = nullptr;  // owned through the component tree
    TComponentRef<TControl> FHintControl{this};
    bool FHintShown = false;    // a hint is up, or was for this control
    bool FHintWaiting = false;  // the timer runs to show (else to hide)
    std::unique_ptr<TWindowTimer> FHintTimer;

private:
    bool DispatchOne(MSG& msg);
    // Tab, Enter and Escape for the form of the focused control.
    static bool IsDialogKey(MSG& msg);
    static bool IsDialogChar(MSG& msg);
    std::vector<TForm*> FForms;         // creation order
    std::vector<TMessageHook*> FHooks;  // oldest first
};

extern TApplication* Application;

// Formats a date with the user's short date format (date part only).
std::string FormatShortDate(const SYSTEMTIME& date);
