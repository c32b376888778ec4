#pragma once
// A skinned form with a frame whose work area the test decides, a skinned
// popup menu on it, fake timers, and helpers that drive the menu windows
// with the messages a user's mouse and keyboard produce.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/data/vlSkinData.h"
#include "skin/form/Lacquer.h"
#include "tests/win/skin_form/FrameFixture.h"
#include "skin/form/vlSkinMenus.h"
#include "skin/controls/vlSkinRelay.h"
#include "tests/win/support/FakeTimerDriver.h"
#include "tests/win/support/LeakCheck.h"
#include "tests/win/support/UiDriver.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class MenuTest : public FrameFormTest {
protected:
    // A shown form with a frame; `skinned` wears the built-in skin.
    TvlLacquer* MakeForm(bool skinned, int w = 400, int h = 300) {
        return ShowFramedForm("Menu test", skinned, bsSizeable, w, h,
                              [](TvlLacquer* frame) { frame->Name = "vlLacquer1"; });
    }

    // The tree's context menu of the planner.
    TvlSkinPopupMenu* TreeMenu(TForm* form) {
        auto* menu = new TvlSkinPopupMenu(form);
        for (const char* caption : {"New Category", "-", "New Project", "Edit", "Delete"}) {
            TMenuItem* item = menu->Add(new TMenuItem(form, caption));
            std::string text = caption;
            item->OnClick = [this, text](TObject*) { Clicked.push_back(text); };
        }
        return menu;
    }
    // A menu of `n` items "Item 1" … "Item n".
    TvlSkinPopupMenu* LongMenu(TForm* form, int n) {
        auto* menu = new TvlSkinPopupMenu(form);
        for (int i = 1; i <= n; ++i) {
            std::string text = "Item " + std::to_string(i);
            TMenuItem* item = menu->Add(new TMenuItem(form, text));
            item->OnClick = [this, text](TObject*) { Clicked.push_back(text); };
        }
        return menu;
    }
    // An item under `parent` whose click is written down in Clicked.
    TMenuItem* AddItem(TForm* form, TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(form, caption);
        parent->Add(item);
        item->OnClick = [this, caption](TObject*) { Clicked.push_back(caption); };
        return item;
    }
    // "&Open", "&Recent" with "&First", "&Second", "-", "E&xit" with Alt+F4.
    TvlSkinPopupMenu* NestedMenu(TForm* form) {
        auto* menu = new TvlSkinPopupMenu(form);
        auto add = [&](TMenuItem* parent, const std::string& caption) { return AddItem(form, parent, caption); };
        add(menu->RootItem(), "&Open");
        TMenuItem* recent = add(menu->RootItem(), "&Recent");
        add(recent, "&First");
        add(recent, "&Second");
        add(menu->RootItem(), "-");
        add(menu->RootItem(), "E&xit")->ShortCut = TextToShortCut("Alt+F4");
        return menu;
    }

    static TvlSkinMenu* Engine(TvlLacquer* frame) { return frame->Menus()->SkinMenu(); }
    // Pops `menu` up at the tests' usual point; the engine that shows it.
    static TvlSkinMenu* PopUp(TvlLacquer* frame, TvlSkinPopupMenu* menu) {
        menu->Popup(300, 200);
        return Engine(frame);
    }
    static HWND Window(TvlLacquer* frame, int i) { return frame->Menus()->SkinMenu()->Window(i)->Handle(); }
    // The mouse at a point of a menu window (client coordinates).
    static void MoveTo(TvlSkinPopupWindow* w, int x, int y) {
        SendMessageA(w->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    static void MoveToItem(TvlSkinPopupWindow* w, int i) {
        const TRect& b = w->Item(i)->ItemBounds;
        MoveTo(w, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
    }
    static void ClickItem(TvlSkinPopupWindow* w, int i) {
        MoveToItem(w, i);
        const TRect& b = w->Item(i)->ItemBounds;
        LPARAM at = MAKELPARAM((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
        SendMessageA(w->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(w->Handle(), WM_LBUTTONUP, 0, at);
        ui::Pump();
    }
    // A key pressed while the focus is on the form: the frame's message hook
    // hands it to the menu.
    static void Press(TForm* form, WORD key) {
        HWND target = GetFocus() ? GetFocus() : form->Handle();
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        ui::Pump();
    }
    static std::vector<std::string> Captions(TvlSkinPopupWindow* w) {
        std::vector<std::string> out;
        for (int i = 0; i < w->ItemCount(); ++i) out.push_back(w->Item(i)->MenuItem->Caption);
        return out;
    }

    std::vector<std::string> Clicked;
};
