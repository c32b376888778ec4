#include "skin/widgets/vlWidgetsAccess.h"

#include "skin/controls/vlControlsAccess.h"
#include "skin/widgets/vlCalendar.h"
#include "skin/widgets/vlDateFormat.h"
#include "skin/widgets/vlSkinDateEdit.h"
#include "skin/widgets/vlSkinTabs.h"

namespace {
RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

bool DescribeCalendar(TvlSkinMonthCalendar* cal, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_CLIENT;
    node.Name = "Calendar";
    TvlDay d = cal->Day();
    node.Value = vlLongDate(d.Year, d.Month, d.Day);
    node.Description = TvlSkinMonthCalendar::TitleText(d);
    bool focused = (node.State & STATE_SYSTEM_FOCUSED) != 0;
    node.Children.clear();
    const std::pair<TvlCalendarButton*, const char*> buttons[] = {{cal->PriorYearButton(), "Previous year"},
                                                                  {cal->PriorMonthButton(), "Previous month"},
                                                                  {cal->NextMonthButton(), "Next month"},
                                                                  {cal->NextYearButton(), "Next year"}};
    for (const auto& [button, name] : buttons) {
        if (!button) continue;
        TvlAccessNode b = vlDescribe(button);
        b.Name = name;
        node.Children.push_back(std::move(b));
    }
    if (!cal->HandleAllocated()) return true;
    HWND wnd = cal->Handle();
    RECT cr = cal->LayoutRect();
    int first = vlFirstColumn(d.Year, d.Month, cal->FirstDayOfWeek());
    int days = vlDaysInMonth(d.Year, d.Month);
    bool painted = cal->CellWidth() > 0 && cal->RowHeight() > 0;
    for (int day = 1; day <= days; ++day) {
        TvlAccessNode& cell = node.Add(ROLE_SYSTEM_CELL, vlLongDate(d.Year, d.Month, day));
        cell.Key = day;
        cell.State = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | (node.State & STATE_SYSTEM_INVISIBLE);
        if (day == d.Day) cell.State |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
        cell.DefaultAction = "Select";
        if (!painted) continue;
        int index = first + day - 1;
        int left = cr.left + 1 + (index % 7) * cal->CellWidth();
        int top = cal->GridTop() + 3 + (index / 7) * cal->RowHeight();
        RECT r{left, top, left + cal->CellWidth(), top + cal->RowHeight()};
        cell.Bounds = vlScreenRect(wnd, r);
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        cell.Action = [cal, centre] { vlClickAt(cal, centre); };
    }
    return true;
}

bool DescribePages(TvlSkinPageControl* pages, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_PAGETABLIST;
    std::vector<TvlAccessNode> windows;
    for (auto& child : node.Children)
        if (child.Window) {
            child.Role = ROLE_SYSTEM_PROPERTYPAGE;
            windows.push_back(std::move(child));
        }
    node.Children.clear();
    HWND wnd = pages->HandleAllocated() ? pages->Handle() : nullptr;
    for (int i = 0; i < pages->PageCount(); ++i) {
        TvlAccessNode& tab = node.Add(ROLE_SYSTEM_PAGETAB, vlStripAccelerator(pages->Pages(i)->Caption()));
        tab.Key = i + 1;
        tab.State = STATE_SYSTEM_SELECTABLE | (node.State & STATE_SYSTEM_INVISIBLE);
        if (i == pages->ActivePageIndex()) tab.State |= STATE_SYSTEM_SELECTED;
        if (wnd) tab.Bounds = vlScreenRect(wnd, ToRect(pages->TabRect(i)));
        tab.DefaultAction = "Switch";
        tab.Action = [pages, i] {
            int before = pages->ActivePageIndex();
            pages->SetActivePageIndex(i);
            // Only a click on a tab makes the native control announce it.
            if (pages->ActivePageIndex() != before) vlAccessEvent(pages, EVENT_OBJECT_SELECTION, i + 1);
        };
    }
    for (auto& w : windows) node.Children.push_back(std::move(w));
    return true;
}

// The date edit is an editable text that holds the date, named by its
// label, with the button that opens the calendar, and the calendar itself
// while it is open.
bool DescribeDateEdit(TvlSkinDateEdit* edit, TvlAccessNode& node) {
    node.Role = ROLE_SYSTEM_TEXT;
    node.Name = vlLabelBefore(edit);
    node.Value = edit->Text();
    node.Children.clear();
    bool open = edit->DroppedDown();
    node.State |= STATE_SYSTEM_HASPOPUP | (open ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
    TvlAccessNode& button = node.Add(ROLE_SYSTEM_PUSHBUTTON, open ? "Close" : "Open");
    button.Key = 1;
    button.DefaultAction = button.Name;
    button.State = node.State & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE);
    if (edit->ButtonDown()) button.State |= STATE_SYSTEM_PRESSED;
    if (edit->HandleAllocated()) {
        RECT window{};
        GetWindowRect(edit->Handle(), &window);
        RECT r = ToRect(edit->ButtonRect());
        OffsetRect(&r, window.left, window.top);
        button.Bounds = r;
    }
    button.Action = [edit] {
        if (edit->DroppedDown()) {
            edit->CloseUp(false);
            return;
        }
        if (edit->CanFocus()) edit->SetFocus();
        edit->DropDown();
    };
    if (open) {
        TvlAccessNode calendar = vlDescribe(edit->Calendar(), nullptr, false);
        calendar.Window = edit->Calendar()->Handle();
        calendar.Children.clear();
        node.Children.push_back(std::move(calendar));
    }
    return true;
}

bool Describe(TControl* c, TvlAccessNode& node) {
    if (auto* edit = dynamic_cast<TvlSkinDateEdit*>(c)) return DescribeDateEdit(edit, node);
    if (auto* cal = dynamic_cast<TvlSkinMonthCalendar*>(c)) return DescribeCalendar(cal, node);
    if (auto* pages = dynamic_cast<TvlSkinPageControl*>(c)) return DescribePages(pages, node);
    if (dynamic_cast<TvlSkinTabSheet*>(c)) {
        node.Role = ROLE_SYSTEM_PROPERTYPAGE;
        return true;
    }
    return false;
}
}  // namespace

std::string vlLongDate(int year, int month, int day) { return vlFormatDate(year, month, day, true); }

void vlRegisterWidgetsAccess() {
    static bool done = false;
    if (done) return;
    done = true;
    vlAddDescriber(Describe);
}
