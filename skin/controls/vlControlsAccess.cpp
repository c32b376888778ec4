#include "skin/controls/vlControlsAccess.h"

#include <climits>
#include <vector>

#include "skin/controls/vlSkinCtrls.h"
#include "skin/controls/vlSkinComboBox.h"
#include "skin/controls/vlSkinEdits.h"
#include "skin/controls/vlSkinListBox.h"
#include "skin/controls/vlSkinUpDown.h"

namespace {
RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

void Pressable(TvlAccessNode& node, TControl* control, long role, const char* action) {
    node.Role = role;
    node.DefaultAction = action;
    node.Shortcut = vlShortcutOf(control->Caption());
    node.Action = [control] { control->Click(); };
}

void DescribeList(TvlAccessNode& node, HWND wnd, const TStringList& items, int selected, bool focused) {
    node.Children.clear();
    for (int i = 0; i < items.Count(); ++i) {
        TvlAccessNode& item = node.Add(ROLE_SYSTEM_LISTITEM, items.Strings(i));
        item.Key = i + 1;
        item.State = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (i == selected) item.State |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
        RECT r{};
        GetWindowRect(wnd, &r);
        item.Bounds = r;
    }
}

// One describer per kind of control, each given its own class; As<> asks
// whether a control is of that class. Subclasses come before their bases.
void DescribeButton(TvlSkinButton* b, TvlAccessNode& node) {
    Pressable(node, b, ROLE_SYSTEM_PUSHBUTTON, "Press");
    if (b->Down()) node.State |= STATE_SYSTEM_PRESSED;
    if (b->Default()) node.State |= STATE_SYSTEM_DEFAULT;
    if (!b->CanFocused()) node.State &= ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
}

void DescribeSpeedButton(TvlSkinSpeedButton* s, TvlAccessNode& node) {
    Pressable(node, s, ROLE_SYSTEM_PUSHBUTTON, "Press");
    if (s->Down()) node.State |= STATE_SYSTEM_PRESSED;
}

void DescribeCheckRadio(TvlSkinCheckRadioBox* x, TvlAccessNode& node) {
    Pressable(node, x, x->Radio() ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON,
              x->Radio() ? "Select" : (x->Checked() ? "Uncheck" : "Check"));
    if (x->Checked()) node.State |= STATE_SYSTEM_CHECKED;
    if (!x->CanFocused()) node.State &= ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
}

void DescribeLinkLabel(TvlSkinLinkLabel* link, TvlAccessNode& node) {
    Pressable(node, link, ROLE_SYSTEM_LINK, "Jump");
    node.State |= STATE_SYSTEM_LINKED;
}

void DescribeGauge(TvlSkinGauge* g, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_PROGRESSBAR;
    node.Name = vlLabelBefore(g);
    node.Value = g->Text().empty() ? std::to_string(g->Percent()) + "%" : g->Text();
    node.State |= STATE_SYSTEM_READONLY;
}

void DescribeScrollBar(TvlSkinScrollBar* sb, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_SCROLLBAR;
    node.Name = sb->Kind() == sbHorizontal ? "Horizontal" : "Vertical";
    node.Value = std::to_string(sb->Position());
    node.Description = std::to_string(sb->Min()) + " to " + std::to_string(sb->Max());
}

// A part of a windowed control that a click at its centre presses.
void AddPressPart(TvlAccessNode& node, TWinControl* control, const char* name, int key, const TRect& rect, bool down) {
    TvlAccessNode& part = node.Add(ROLE_SYSTEM_PUSHBUTTON, name);
    part.Key = key;
    part.DefaultAction = "Press";
    part.State = control->Enabled() ? 0 : STATE_SYSTEM_UNAVAILABLE;
    if (down) part.State |= STATE_SYSTEM_PRESSED;
    RECT r = ToRect(rect);
    if (control->HandleAllocated()) part.Bounds = vlScreenRect(control->Handle(), r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    part.Action = [control, centre] { vlClickAt(control, centre); };
}

void DescribeUpDown(TvlSkinUpDown* u, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_SPINBUTTON;
    node.Value = std::to_string(u->Position());
    node.Children.clear();
    const char* names[2] = {"Up", "Down"};
    if (u->Orientation() == udHorizontal) names[0] = "Right", names[1] = "Left";
    for (int i : {TvlSkinUpDown::ptUp, TvlSkinUpDown::ptDown})
        AddPressPart(node, u, names[i], i + 1, u->Part(i).R, u->Part(i).Down);
}

void DescribeComboBox(TvlSkinComboBox* cb, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_COMBOBOX;
    node.Value = cb->Text();
    node.State |= cb->DroppedDown() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    node.DefaultAction = cb->DroppedDown() ? "Close" : "Open";
    node.Action = [cb] {
        if (cb->DroppedDown())
            cb->CloseUp(false);
        else
            cb->DropDown();
    };
    // The edit part stays a native child; the items follow it.
    TvlAccessNode list;
    DescribeList(list, cb->Handle(), cb->Items, cb->ItemIndex(), false);
    for (auto& item : list.Children) node.Children.push_back(std::move(item));
}

void DescribeListBox(TvlSkinListBox* lb, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_LIST;
    HWND focus = GetFocus();
    bool focused = focus && (focus == lb->Handle() || IsChild(lb->Handle(), focus));
    DescribeList(node, lb->Handle(), lb->Items, lb->ItemIndex(), focused);
    // The caption's buttons stand before the items, as they do on screen;
    // their keys are negative so that they never meet an item's.
    std::vector<TvlAccessNode> items = std::move(node.Children);
    node.Children.clear();
    const char* names[3] = {"Up", "Down", "Check"};
    for (int i : {TvlSkinListBox::cbUp, TvlSkinListBox::cbDown, TvlSkinListBox::cbCheck}) {
        TRect r = lb->CaptionButtonRect(i);
        if (!r.IsEmpty()) AddPressPart(node, lb, names[i], -(i + 1), r, lb->CaptionButton(i).Down);
    }
    for (auto& item : items) node.Children.push_back(std::move(item));
}

// The wrapped native edits keep their class and messages; their object is
// ours so that they carry the name of the label before them, which the
// platform's own object cannot find among windowless labels. A password
// edit does not give its text away.
void DescribeEdit(TvlCustomEdit* e, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_TEXT;
    node.Name = vlLabelBefore(e);
    if (e->PasswordChar())
        node.State |= STATE_SYSTEM_PROTECTED;
    else
        node.Value = e->Text();
    if (e->ReadOnly) node.State |= STATE_SYSTEM_READONLY;
}

// Labels are read-only texts; splitters and bevels separate; an image is a
// graphic; a panel groups what it holds.
template <long Role, long State = 0>
void Plain(TControl*, TvlAccessNode& node) {
    node.Role = Role;
    node.State |= State;
}

template <class Kind, auto Fill>
bool As(TControl* c, TvlAccessNode& node) {
    auto* control = dynamic_cast<Kind*>(c);
    if (!control) return false;
    Fill(control, node);
    return true;
}

using TKindDescriber = bool (*)(TControl*, TvlAccessNode&);
constexpr TKindDescriber kDescribers[] = {
    As<TvlSkinButton, DescribeButton>,
    As<TvlSkinSpeedButton, DescribeSpeedButton>,
    As<TvlSkinCheckRadioBox, DescribeCheckRadio>,
    As<TvlSkinLinkLabel, DescribeLinkLabel>,
    As<TLabel, Plain<ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY>>,
    As<TvlSkinGauge, DescribeGauge>,
    As<TvlSkinScrollBar, DescribeScrollBar>,
    As<TvlSkinUpDown, DescribeUpDown>,
    As<TvlSkinComboBox, DescribeComboBox>,
    As<TvlSkinListBox, DescribeListBox>,
    As<TvlCustomEdit, DescribeEdit>,
    As<TvlSkinSplitter, Plain<ROLE_SYSTEM_SEPARATOR>>,
    As<TSplitter, Plain<ROLE_SYSTEM_SEPARATOR>>,
    As<TvlSkinBevel, Plain<ROLE_SYSTEM_SEPARATOR>>,
    As<TImage, Plain<ROLE_SYSTEM_GRAPHIC>>,
    As<TvlSkinPanel, Plain<ROLE_SYSTEM_GROUPING>>,
};

bool Describe(TControl* c, TvlAccessNode& node) {
    for (TKindDescriber describe : kDescribers)
        if (describe(c, node)) return true;
    return false;
}
}  // namespace

void vlClickAt(TWinControl* control, POINT p) {
    if (!control->HandleAllocated()) return;
    LPARAM at = MAKELPARAM(p.x, p.y);
    HWND wnd = control->Handle();
    SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(wnd, WM_LBUTTONUP, 0, at);
}

std::string vlLabelBefore(TControl* control) {
    TWinControl* parent = control->Parent();
    if (!parent) return {};
    const TLabel* best = nullptr;
    int bestGap = INT_MAX;
    bool bestOnRow = false;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* label = dynamic_cast<TLabel*>(parent->Controls(i));
        if (!label || !label->Visible() || label->Caption().empty()) continue;
        bool onRow =
            label->Top() < control->Top() + control->Height() && control->Top() < label->Top() + label->Height();
        int gap;
        if (onRow && label->Left() + label->Width() <= control->Left())
            gap = control->Left() - (label->Left() + label->Width());
        else if (label->Top() + label->Height() <= control->Top())
            gap = control->Top() - (label->Top() + label->Height());
        else
            continue;
        if ((onRow && !bestOnRow) || (onRow == bestOnRow && gap < bestGap)) {
            best = label;
            bestGap = gap;
            bestOnRow = onRow;
        }
    }
    return best ? vlStripAccelerator(best->Caption()) : std::string();
}

void vlRegisterControlsAccess() {
    static bool done = false;
    if (done) return;
    done = true;
    vlAddDescriber(Describe);
}
