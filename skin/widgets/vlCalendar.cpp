#include "skin/widgets/vlCalendar.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "skin/access/vlAccess.h"
#include "skin/controls/vlDropDownWindow.h"
#include "skin/data/vlUtils.h"

namespace {
constexpr UINT_PTR FirstTimerId = 0x5C10;

TvlDay Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

std::string ShortDayName(int weekday) {
    // The locale numbers its abbreviated day names from Monday.
    LCTYPE type = LOCALE_SABBREVDAYNAME1 + static_cast<LCTYPE>(weekday == 0 ? 6 : weekday - 1);
    char name[64] = {};
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, name, sizeof name);
    return n > 0 ? std::string(name) : std::string();
}
}  // namespace

// ---- TvlCalendarButton ----

TvlCalendarButton::TvlCalendarButton(TComponent* owner, TWinControl* parent, const char* glyphResource,
                                     int repeatInterval, UINT_PTR timerId, TNotifyEvent action)
    : TvlSkinSpeedButton(owner, parent), RepeatInterval(repeatInterval), FTimerId(timerId), FAction(std::move(action)) {
    SkinDataName = "resizebutton";
    SetBounds(0, 0, 23, 23);
    TGdiBitmap glyph(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), glyphResource, IMAGE_BITMAP, 0, 0, 0)));
    if (glyph) Glyph.CreateFromBitmap(glyph.Handle());
    NumGlyphs = 1;
}

void TvlCalendarButton::Click() {
    if (FAction) FAction(this);
}

void TvlCalendarButton::StartRepeat() {
    if (TWinControl* window = Parent(); window && window->HandleAllocated())
        FTimer = std::make_unique<TWindowTimer>(window->Handle(), FTimerId, static_cast<UINT>(RepeatInterval));
}

void TvlCalendarButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TvlSkinSpeedButton::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled()) return;
    FHeld = true;
    StartRepeat();
}

void TvlCalendarButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TvlSkinSpeedButton::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    FHeld = false;
    StopRepeat();
}

void TvlCalendarButton::MouseEnter() {
    TvlSkinSpeedButton::MouseEnter();
    if (FHeld && !FTimer) StartRepeat();
}

void TvlCalendarButton::MouseLeave() {
    TvlSkinSpeedButton::MouseLeave();
    if (FHeld) StopRepeat();
}

bool TvlCalendarButton::TimerTick(UINT_PTR id) {
    if (id != FTimerId) return false;
    // Held down: one more step; released elsewhere (capture lost): stop.
    if (FHeld && Parent() && Parent()->MouseCaptureChild() == this) {
        if (FAction) FAction(this);
    } else {
        FHeld = false;
        StopRepeat();
    }
    return true;
}

void TvlCalendarButton::StopRepeat() { FTimer.reset(); }

// ---- TvlSkinMonthCalendar ----

TvlSkinMonthCalendar::TvlSkinMonthCalendar(TComponent* owner, TWinControl* parent, int left, int top, int width,
                                           int height)
    : TvlSkinPanel(owner, parent, bvFrame), FDate(Today()) {
    TabStop = true;
    struct {
        const char* Glyph;
        int Interval;
        void (TvlSkinMonthCalendar::*Step)();
    } buttons[4] = {{"VL_PRIORYEAR", 100, &TvlSkinMonthCalendar::PriorYear},
                    {"VL_PRIORMONTH", 250, &TvlSkinMonthCalendar::PriorMonth},
                    {"VL_NEXTMONTH", 250, &TvlSkinMonthCalendar::NextMonth},
                    {"VL_NEXTYEAR", 100, &TvlSkinMonthCalendar::NextYear}};
    for (int i = 0; i < 4; ++i) {
        auto step = buttons[i].Step;
        FButtons[i] = new TvlCalendarButton(this, this, buttons[i].Glyph, buttons[i].Interval, FirstTimerId + i,
                                            [this, step](TObject*) { (this->*step)(); });
    }
    SetBounds(left, top, width, height);
    LayoutButtons();
}

TvlSkinMonthCalendar::~TvlSkinMonthCalendar() {
    for (TvlCalendarButton* b : FButtons) b->StopRepeat();
}

SYSTEMTIME TvlSkinMonthCalendar::Date() const {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(FDate.Year);
    st.wMonth = static_cast<WORD>(FDate.Month);
    st.wDay = static_cast<WORD>(FDate.Day);
    st.wDayOfWeek = static_cast<WORD>(vlDayOfWeek(FDate));
    return st;
}

namespace {
// Tells assistive tools about a calendar's new date.
void DateChanged(TvlSkinMonthCalendar* calendar) {
    vlAccessEvent(calendar, EVENT_OBJECT_VALUECHANGE);
    // The day cell under the keyboard is where a reader's focus is.
    if (calendar->Focused()) vlAccessEvent(calendar, EVENT_OBJECT_FOCUS, calendar->Day().Day);
}
}  // namespace

void TvlSkinMonthCalendar::SetDate(int year, int month, int day) {
    if (year < vlFirstYear || year > vlLastYear || month < 1 || month > 12 || day < 1 ||
        day > vlDaysInMonth(year, month))
        return;
    bool changed = !(FDate == TvlDay{year, month, day});
    FDate = {year, month, day};
    Invalidate();
    if (changed) DateChanged(this);
}

void TvlSkinMonthCalendar::SetTodayDefault(bool value) {
    FTodayDefault = value;
    if (value) {
        TvlDay t = Today();
        SetDate(t.Year, t.Month, t.Day);
    }
}

void TvlSkinMonthCalendar::SetFirstDayOfWeek(TvlDaysOfWeek value) {
    FFirstDayOfWeek = value;
    Invalidate();
}

void TvlSkinMonthCalendar::Navigate(TvlDay to) {
    bool changed = !(FDate == to);
    FDate = to;
    Invalidate();
    if (changed) DateChanged(this);
    if (OnClick) OnClick(this);
}

void TvlSkinMonthCalendar::PriorMonth() { Navigate(vlPriorMonth(FDate)); }
void TvlSkinMonthCalendar::NextMonth() { Navigate(vlNextMonth(FDate)); }
void TvlSkinMonthCalendar::PriorYear() { Navigate(vlPriorYear(FDate)); }
void TvlSkinMonthCalendar::NextYear() { Navigate(vlNextYear(FDate)); }

bool TvlSkinMonthCalendar::NavigationKey(WORD key) {
    switch (key) {
        case VK_LEFT: Navigate(vlAddDays(FDate, -1)); return true;
        case VK_RIGHT: Navigate(vlAddDays(FDate, 1)); return true;
        case VK_UP: Navigate(vlAddDays(FDate, -7)); return true;
        case VK_DOWN: Navigate(vlAddDays(FDate, 7)); return true;
        case VK_PRIOR: PriorMonth(); return true;
        case VK_NEXT: NextMonth(); return true;
        case VK_RETURN:
            if (OnNumberClick) OnNumberClick(this);
            return true;
        default: return false;
    }
}

std::string TvlSkinMonthCalendar::TitleText(const TvlDay& d) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.Year);
    st.wMonth = static_cast<WORD>(d.Month);
    st.wDay = static_cast<WORD>(d.Day);
    char text[128] = {};
    int n = GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "MMMM, yyyy", text, sizeof text);
    return n > 0 ? std::string(text) : std::string();
}

void TvlSkinMonthCalendar::SetSkinData(TvlSkinData* skinData) {
    TvlSkinPanel::SetSkinData(skinData);
    for (TvlCalendarButton* b : FButtons) b->SetSkinData(skinData);
}

void TvlSkinMonthCalendar::ReadColours() {
    const TvlSkinData* skin = SkinData();
    if (!skin || skin->IsEmpty()) return;
    int index = skin->FindControlIndex("stdlabel");
    if (index < 0) return;
    if (auto* label = dynamic_cast<const TvlDataSkinStdLabelControl*>(skin->SkinControls[static_cast<size_t>(index)].get())) {
        FNumberColor = label->FontColor;
        FTitleColor = label->ActiveFontColor;
    } else {
        FNumberColor = FTitleColor = Font.Color();
    }
}

void TvlSkinMonthCalendar::SkinChanged() {
    ReadColours();
    TvlSkinPanel::SkinChanged();
    LayoutButtons();
}

void TvlSkinMonthCalendar::AlignControls() {
    TvlSkinPanel::AlignControls();
    LayoutButtons();
}

void TvlSkinMonthCalendar::LayoutButtons() {
    if (!FButtons[3]) return;
    RECT cr = LayoutRect();
    // 23-pixel buttons a pixel apart at 96 DPI.
    int size = Px(23), step = Px(24);
    FButtons[0]->SetBounds(cr.left + 1, cr.top + 1, size, size);
    FButtons[1]->SetBounds(cr.left + 1 + step, cr.top + 1, size, size);
    FButtons[3]->SetBounds(cr.right - step, cr.top + 1, size, size);
    FButtons[2]->SetBounds(cr.right - step - step, cr.top + 1, size, size);
}

void TvlSkinMonthCalendar::PaintDefault(TvlFBitmap& bitmap) {
    TvlSkinPanel::PaintDefault(bitmap);
    PaintCalendar(bitmap, false);
}

void TvlSkinMonthCalendar::PaintSkin(TvlFBitmap& bitmap) {
    TvlSkinPanel::PaintSkin(bitmap);
    PaintCalendar(bitmap, Look.HasElement());
}

void TvlSkinMonthCalendar::PaintCalendar(TvlFBitmap& bitmap, bool skinned) {
    if (bitmap.Empty()) return;
    RECT cr = LayoutRect();
    TFont font = DefaultFont;
    font.SetHeight(ScaleFontForDpi(font.Height(), ControlDpi(this)));
    if (const TvlSkinData* skin = SkinData(); skin && skin->ResourceStrData())
        font.SetCharSet(skin->ResourceStrData()->CharSet);
    TCanvas canvas(bitmap.Canvas());
    canvas.Font = font;
    canvas.Font.SetStyle(font.Style() | fsBold);
    TColor title = skinned ? FTitleColor : font.Color();
    canvas.Font.SetColor(title);

    DrawTitle(canvas, TitleText(FDate), cr.top + Px(2));
    canvas.Font.SetHeight(font.Height());

    FCellWidth = (cr.right - cr.left - 2) / 7;
    int headerY = cr.top + Px(33);
    for (int i = 0; i < 7; ++i) {
        RECT cell{cr.left + 1 + i * FCellWidth, headerY, cr.left + 1 + (i + 1) * FCellWidth, headerY + 100};
        canvas.TextRect(cell, ShortDayName(vlWeekMod(FFirstDayOfWeek + i)), DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    int line = headerY + canvas.TextHeight("Wq") + 1;
    canvas.Line(cr.left + 1, line, cr.right - 1, line, title);
    FGridTop = line;

    canvas.Font.SetStyle(font.Style() & ~fsBold);
    canvas.Font.SetColor(skinned ? FNumberColor : font.Color());
    FRowHeight = (cr.bottom - line - Px(4)) / 6;
    int first = vlFirstColumn(FDate.Year, FDate.Month, FFirstDayOfWeek);
    int days = vlDaysInMonth(FDate.Year, FDate.Month);
    for (int r = 1; r <= 6; ++r)
        for (int c = 0; c < 7; ++c) {
            int day = vlCellDay(r, c, first, days);
            if (!day) continue;
            RECT cell{cr.left + 1 + c * FCellWidth, line + Px(3) + (r - 1) * FRowHeight,
                      cr.left + 1 + (c + 1) * FCellWidth, line + Px(3) + r * FRowHeight};
            canvas.TextRect(cell, std::to_string(day), DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (day != FDate.Day) continue;
            canvas.FrameRect(cell, skinned ? FTitleColor : font.Color());
            // The keyboard's place: the selected day, inside its frame.
            if (Focused()) {
                RECT inner = cell;
                InflateRect(&inner, -Px(2), -Px(2));
                DrawFocusRect(bitmap.Canvas(), &inner);
            }
        }
    GdiFlush();
}

// The title is centred on the control but kept between the month buttons,
// which would otherwise cover a long month name on a narrow calendar: a
// title too wide for the space is drawn smaller, down to three quarters of
// the size, and then cut with "...".
void TvlSkinMonthCalendar::DrawTitle(TCanvas& canvas, const std::string& text, int top) {
    int left = FButtons[1]->Left() + FButtons[1]->Width() + Px(2), right = FButtons[2]->Left() - Px(2);
    int size = std::abs(canvas.Font.Height()), sign = canvas.Font.Height() < 0 ? -1 : 1;
    int smallest = std::max(Px(8), size * 3 / 4);
    int width = canvas.TextWidth(text);
    while (width > right - left && size > smallest) {
        canvas.Font.SetHeight(sign * --size);
        width = canvas.TextWidth(text);
    }
    FTitleCut = width > right - left;
    if (FTitleCut) width = std::max(0, right - left);
    int x = std::clamp(Width() / 2 - width / 2, left, std::max(left, right - width));
    FTitleRect = {x, top, x + width, top + canvas.TextHeight(text)};
    FTitleFontHeight = canvas.Font.Height();
    canvas.TextRect(FTitleRect, text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

void TvlSkinMonthCalendar::SetDefaultCaptionHeight(int value) {
    if (value < 0 || value == DefaultCaptionHeight()) return;
    TvlSkinPanel::SetDefaultCaptionHeight(value);
    // The days lie under the caption bar with or without an element.
    Realign();
    Invalidate();
}

int TvlSkinMonthCalendar::DayAt(int x, int y) const {
    RECT cr = LayoutRect();
    if (x < cr.left || x >= cr.right || y < cr.top || y >= cr.bottom) return 0;
    // No grid painted yet, or one too small to hold a cell.
    if (FCellWidth <= 0 || FRowHeight <= 0) return 0;
    int gx = x - (cr.left + 1), gy = y - (FGridTop + Px(3));
    if (gx < 0 || gy < 0) return 0;  // the title and the weekday header
    int col = gx / FCellWidth, row = gy / FRowHeight + 1;
    // vlCellDay maps the right-hand remainder (column 7) and rows below the sixth to no day.
    return vlCellDay(row, col, vlFirstColumn(FDate.Year, FDate.Month, FFirstDayOfWeek),
                     vlDaysInMonth(FDate.Year, FDate.Month));
}

void TvlSkinMonthCalendar::WndProc(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    }
    TvlSkinPanel::WndProc(m);
}

void TvlSkinMonthCalendar::OnMouse(TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN && FocusOnClick() && CanFocus()) SetFocus();
    TvlSkinPanel::OnMouse(m);
    if (m.Msg != WM_LBUTTONUP) return;
    int day = DayAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    if (!day) return;
    bool changed = FDate.Day != day;
    FDate.Day = day;
    Invalidate();
    if (changed) DateChanged(this);
    if (OnNumberClick) OnNumberClick(this);
}

void TvlSkinMonthCalendar::OnKey(TMessage& m) {
    if (m.Msg == WM_KEYDOWN && NavigationKey(static_cast<WORD>(m.WParam))) {
        m.Result = 0;
        return;
    }
    TvlSkinPanel::OnKey(m);
}

void TvlSkinMonthCalendar::OnTimer(TMessage& m) {
    for (TvlCalendarButton* b : FButtons)
        if (b->TimerTick(m.WParam)) return;
    TvlSkinPanel::OnTimer(m);
}

// ---- TvlSkinPopupMonthCalendar ----

TvlSkinPopupMonthCalendar::TvlSkinPopupMonthCalendar(TComponent* owner, TWinControl* host)
    : TvlSkinMonthCalendar(owner, nullptr), FHost(host) {
    TabStop = false;
    SetVisible(false);
}

void TvlSkinPopupMonthCalendar::CreateParams(TCreateParams& params) {
    TvlSkinMonthCalendar::CreateParams(params);
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOOLWINDOW;
    params.WinClassName = DropDownWindowClass();
    // A top-level popup owned by the host's form window.
    params.WndParent = FHost && FHost->HandleAllocated() ? GetAncestor(FHost->Handle(), GA_ROOT) : nullptr;
}

void TvlSkinPopupMonthCalendar::WndProc(TMessage& m) {
    if (m.Msg == WM_MOUSEACTIVATE) {
        m.Result = MA_NOACTIVATE;
        return;
    }
    TvlSkinMonthCalendar::WndProc(m);
}
