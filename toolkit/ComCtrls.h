#pragma once
// Common controls in their plain look: list view, tree view, page control,
// image list.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Controls.h"

class TImageList : public TComponent {
public:
    // A masked list keeps a mask beside every image, so that a picture's
    // transparent colour (the skins' magenta ground) is left out when drawn.
    TImageList(TComponent* owner, int width, int height, bool masked = false);
    ~TImageList() override;
    HIMAGELIST Handle() const { return FHandle; }
    int Count() const { return ImageList_GetImageCount(FHandle); }
    bool Masked() const { return FMasked; }
    int Add(HBITMAP image);  // copies the bitmap; drawn whole
    // Copies the bitmap; in a masked list every pixel of `transparent` is
    // masked out. An unmasked list adds the picture whole.
    int AddMasked(HBITMAP image, COLORREF transparent);
    // The pictures at another DPI: the 96-DPI list is kept and each picture
    // is scaled from it, so that Handle() changes; controls showing the
    // list set it again.
    void ScaleToDpi(int dpi);
    int Dpi() const { return FDpi; }

private:
    HIMAGELIST FHandle;
    HIMAGELIST FDesignHandle = nullptr;  // owned; the 96-DPI list while scaled, else null
    bool FMasked;
    int FDpi = kDesignDpi;
};

// Stops a control's redrawing while many items change (WM_SETREDRAW);
// pairs nest, and the last EndUpdate redraws the control once.
// A control without a window yet is only counted: there is nothing to
// redraw, and a window made meanwhile draws once it is made.
class TUpdateCount {
public:
    void Begin(HWND window);
    void End(HWND window);

private:
    int FCount = 0;
    bool FDrawingOff = false;  // this count turned the window's drawing off
};

// BeginUpdate on construction, EndUpdate on destruction, also when an
// exception leaves the scope.
template <class Control>
class TUpdateGuard {
public:
    explicit TUpdateGuard(Control* control) : FControl(control) { FControl->BeginUpdate(); }
    ~TUpdateGuard() { FControl->EndUpdate(); }
    TUpdateGuard(const TUpdateGuard&) = delete;
    TUpdateGuard& operator=(const TUpdateGuard&) = delete;

private:
    Control* FControl;
};

enum TItemChange { ctText, ctImage, ctState };
using TLVChangeEvent = std::function<void(TObject* sender, int item, TItemChange change)>;

class TListView : public TWinControl {
public:
    TListView(TComponent* owner, TWinControl* parent, bool checkBoxes, bool columnClick);
    void AddColumn(const std::string& caption, int width, bool autoSize = false);

    int ItemCount() const;
    // Room for `count` rows before they are added, so that filling a long
    // list does not grow it step by step.
    void SetItemCount(int count);
    void BeginUpdate() { FUpdate.Begin(WindowIfMade()); }
    void EndUpdate() { FUpdate.End(WindowIfMade()); }
    int AddItem(const std::string& caption);
    void DeleteItem(int index);
    void Clear();
    std::string ItemText(int index, int column) const;  // column 0 is the caption
    void SetItemText(int index, int column, const std::string& text);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int SelectedIndex() const;
    void SetSelectedIndex(int index);  // -1 clears the selection
    RECT ItemRect(int index) const;    // whole row, client coordinates
    // The width of a column as shown.
    int ColumnWidth(int column) const;

    // Raised synchronously for every item change the control reports,
    // whether the user or the program made it. Rows given before the list
    // has a window are not reported, neither then nor when they go in.
    TLVChangeEvent OnChange;
    bool NotifyNotify(NMHDR* header, LRESULT& result) override;
    // Columns keep their 96-DPI widths and are shown at the list's DPI.
    void ChangeScale(int fromDpi, int toDpi) override;

protected:
    // Frees the kept check box pictures with the window.
    void WndProc(TMessage& m) override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void OnSize(TMessage& m) override;

private:
    void InsertColumn(size_t index, const std::string& caption);
    void FitColumns();
    // Away from 96 DPI the check boxes are drawn at the list's DPI in place
    // of the control's own, which is kept (and freed with the window) to be
    // put back at 96.
    void ScaleCheckBoxes();
    HIMAGELIST FDesignChecks = nullptr;
    struct Column {
        std::string Caption;
        int Width;  // at 96 DPI
        bool AutoSize;
    };
    std::vector<Column> FColumns;
    // The rows while the list has no window (a list on a sheet not yet
    // shown has none); they go into the window when it is made.
    struct TKeptRow {
        std::vector<std::string> Texts;  // caption first
        bool Checked = false;
    };
    std::vector<TKeptRow> FKeptRows;
    int FKeptSelected = -1;
    bool FPuttingKeptRows = false;
    HWND WindowIfMade() const { return HandleAllocated() ? Handle() : nullptr; }
    const TKeptRow* KeptRow(int index) const;  // null when out of range
    TKeptRow* KeptRow(int index) { return const_cast<TKeptRow*>(std::as_const(*this).KeptRow(index)); }
    void PutKeptRows();
    int FDpi = kDesignDpi;
    bool FCheckBoxes, FColumnClick;
    TUpdateCount FUpdate;
};

class TTreeNode {
public:
    std::string Text;
    TTreeNode* Parent = nullptr;
    int ImageIndex = 0;
    int SelectedIndex = 0;
    HTREEITEM Item = nullptr;
    std::vector<TTreeNode*> Children;
};

class TTreeView : public TWinControl {
public:
    TTreeView(TComponent* owner, TWinControl* parent);
    void SetImages(TImageList* images);

    TTreeNode* AddRoot(const std::string& text, int imageIndex = 0, int selectedIndex = 0);
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text, int imageIndex = 0, int selectedIndex = 0);
    void Clear();
    void BeginUpdate() { FUpdate.Begin(Handle()); }
    void EndUpdate() { FUpdate.End(Handle()); }
    void Expand(TTreeNode* node, bool recurse);
    bool IsExpanded(TTreeNode* node) const;
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    const std::vector<std::unique_ptr<TTreeNode>>& Nodes() const { return FNodes; }  // creation order
    std::vector<TTreeNode*> Roots() const;
    RECT NodeRect(TTreeNode* node) const;  // text rectangle, client coordinates
    TTreeNode* NodeAt(POINT p) const;
    void ChangeScale(int fromDpi, int toDpi) override;

    bool RightClickSelect = true;
    // Raised synchronously when the selection changes, also by the program.
    std::function<void(TObject* sender, TTreeNode* node)> OnChange;
    bool NotifyNotify(NMHDR* header, LRESULT& result) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    // Shift+F10 and the context-menu key open the menu at the selected node.
    void OnKey(TMessage& m) override;
    void OnContextMenu(TMessage& m) override;

private:
    TTreeNode* Insert(TTreeNode* parent, const std::string& text, int imageIndex, int selectedIndex);
    void ApplyScale();
    std::vector<std::unique_ptr<TTreeNode>> FNodes;
    TImageList* FImages = nullptr;  // not owned; its owner keeps it while the tree shows it
    int FDpi = kDesignDpi;
    int FDesignItemHeight = 0;  // the control's own row height at 96 DPI
    bool FClearing = false;
    TUpdateCount FUpdate;
};

class TTabSheet;

// Tabs (at the bottom) over a stack of sheets; one sheet is shown.
class TPageControl : public TWinControl {
public:
    TPageControl(TComponent* owner, TWinControl* parent, bool tabsAtBottom);
    TTabSheet* AddSheet(const std::string& caption);
    int PageCount() const { return static_cast<int>(FSheets.size()); }
    TTabSheet* Pages(int i) const { return FSheets.at(i); }
    int ActivePageIndex() const { return FActive; }
    void SetActivePageIndex(int index);
    TNotifyEvent OnChange;
    RECT LayoutRect() const override;
    bool NotifyNotify(NMHDR* header, LRESULT& result) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void AlignControls() override;
    // Makes the sheet object for AddSheet.
    virtual TTabSheet* NewSheet(const std::string& caption);

private:
    void InsertTab(int index, const std::string& caption);
    std::vector<TTabSheet*> FSheets;
    int FActive = -1;
    bool FTabsAtBottom;
};

class TTabSheet : public TCustomControl {
public:
    TTabSheet(TComponent* owner, TPageControl* parent, const std::string& caption);
};
