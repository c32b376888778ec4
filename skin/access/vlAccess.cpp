#include "skin/access/vlAccess.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <unordered_map>

#include "skin/access/vlHighContrast.h"

namespace {
std::vector<TvlDescriber>& Describers() {
    static std::vector<TvlDescriber> describers;
    return describers;
}
bool gStarted = false;
std::atomic<long> gLiveObjects{0};

bool OwnClassWindow(HWND wnd) {
    char name[32] = {};
    GetClassNameA(wnd, name, sizeof name);
    return lstrcmpA(name, "PlandeskWindow") == 0;
}

BSTR ToBstr(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (b && n) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), b, n);
    return b;
}

HRESULT TextResult(const std::string& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = ToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The part of `node` a child id names (0: the node itself), or null.
const TvlAccessNode* PartOf(const TvlAccessNode& node, const VARIANT& child) {
    if (child.vt != VT_I4) return nullptr;
    if (child.lVal == CHILDID_SELF) return &node;
    if (child.lVal < 1 || child.lVal > static_cast<long>(node.Children.size())) return nullptr;
    return &node.Children[static_cast<size_t>(child.lVal - 1)];
}

bool Contains(const RECT& r, long x, long y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

class TvlAccessibleObject;

// Keeps the objects of each control and disconnects them when the control
// is destroyed: an object never reaches a freed control.
class TAccessWatch : public TComponent {
public:
    TAccessWatch() : TComponent(nullptr) {}
    void Add(TWinControl* control, TvlAccessibleObject* object) {
        auto& list = FLive[control];
        if (list.empty()) FreeNotification(control);
        list.push_back(object);
    }
    void Remove(TWinControl* control, TvlAccessibleObject* object) {
        auto it = FLive.find(control);
        if (it == FLive.end()) return;
        auto& list = it->second;
        list.erase(std::remove(list.begin(), list.end(), object), list.end());
        if (list.empty()) {
            FLive.erase(it);
            RemoveFreeNotification(control);
        }
    }

protected:
    void Notification(TComponent* component, bool removing) override;

private:
    std::unordered_map<TComponent*, std::vector<TvlAccessibleObject*>> FLive;
};

TAccessWatch& Watch() {
    static auto* watch = new TAccessWatch;  // lives as long as the process
    return *watch;
}

// Default actions asked for by a client run from the window's queue: the
// client's call returns first, even when the action opens a modal window.
struct TPendingAction {
    HWND Window;
    std::vector<int> Path;
    long Child;
};
std::map<WPARAM, TPendingAction> gPending;
WPARAM gNextTicket = 1;

bool Serves(TWinControl* control) {
    if (!control->HandleAllocated()) return false;
    if (OwnClassWindow(control->Handle())) return true;
    bool known = false;
    vlDescribe(control, &known);
    return known;
}

void EnsureCom() {
    // Marshalling needs an apartment on the window thread; a thread that
    // already has one keeps it.
    static thread_local bool done = false;
    if (done) return;
    done = true;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

class TvlAccessibleObject final : public IAccessible {
public:
    TvlAccessibleObject(TWinControl* root, std::vector<int> path)
        : FRoot(root), FWindow(root->Handle()), FPath(std::move(path)) {
        ++gLiveObjects;
        Watch().Add(root, this);
    }
    ~TvlAccessibleObject() {
        if (FRoot) Watch().Remove(FRoot, this);
        --gLiveObjects;
    }
    void Disconnect() { FRoot = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == vlIID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG n = InterlockedDecrement(&FRefs);
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

    // IDispatch: clients use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!FRoot) return CO_E_OBJNOTCONNECTED;
        if (FPath.empty())
            return AccessibleObjectFromWindow(FWindow, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                              reinterpret_cast<void**>(parent));
        std::vector<int> up(FPath.begin(), FPath.end() - 1);
        *parent = new TvlAccessibleObject(FRoot, std::move(up));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        TvlAccessNode tree;
        const TvlAccessNode* self = nullptr;
        HRESULT hr = Locate(tree, self);
        if (FAILED(hr)) return hr;
        *count = static_cast<long>(self->Children.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        TvlAccessNode tree;
        const TvlAccessNode* self = nullptr;
        HRESULT hr = Locate(tree, self);
        if (FAILED(hr)) return hr;
        const TvlAccessNode* part = PartOf(*self, child);
        if (!part) return E_INVALIDARG;
        if (part == self) return S_FALSE;
        if (part->Window) {
            *out = ObjectOfWindow(part->Window);
            return *out ? S_OK : S_FALSE;
        }
        if (part->Children.empty()) return S_FALSE;
        std::vector<int> down = FPath;
        down.push_back(child.lVal);
        *out = new TvlAccessibleObject(FRoot, std::move(down));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return Text(child, out, &TvlAccessNode::Name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return Text(child, out, &TvlAccessNode::Value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return Text(child, out, &TvlAccessNode::Description);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return Text(child, out, &TvlAccessNode::Shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return Text(child, out, &TvlAccessNode::DefaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        return Number(child, out, &TvlAccessNode::Role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        return Number(child, out, &TvlAccessNode::State);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return AnswerFromSelf(out, [&](const TvlAccessNode& node) -> HRESULT {
            HWND focus = GetFocus();
            for (size_t i = 0; i < node.Children.size(); ++i) {
                const TvlAccessNode& c = node.Children[i];
                if (c.Window && focus && (c.Window == focus || IsChild(c.Window, focus))) {
                    out->vt = VT_DISPATCH;
                    out->pdispVal = ObjectOfWindow(c.Window);
                    if (!out->pdispVal) out->vt = VT_EMPTY;
                    return S_OK;
                }
                if (!c.Window && (c.State & STATE_SYSTEM_FOCUSED)) {
                    out->vt = VT_I4;
                    out->lVal = static_cast<long>(i + 1);
                    return S_OK;
                }
            }
            if (node.State & STATE_SYSTEM_FOCUSED) {
                out->vt = VT_I4;
                out->lVal = CHILDID_SELF;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return AnswerFromSelf(out, [&](const TvlAccessNode& node) -> HRESULT {
            for (size_t i = 0; i < node.Children.size(); ++i)
                if (node.Children[i].State & STATE_SYSTEM_SELECTED) {
                    out->vt = VT_I4;
                    out->lVal = static_cast<long>(i + 1);
                    return S_OK;
                }
            return S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        TvlAccessNode tree;
        const TvlAccessNode* part = nullptr;
        HRESULT hr = LocatePart(child, tree, part);
        if (FAILED(hr)) return hr;
        auto* win = dynamic_cast<TWinControl*>(part->Control);
        if ((flags & SELFLAG_TAKEFOCUS) && win && win->CanFocus()) {
            win->SetFocus();
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* w, long* h, VARIANT child) override {
        if (!x || !y || !w || !h) return E_POINTER;
        TvlAccessNode tree;
        const TvlAccessNode* part = nullptr;
        HRESULT hr = LocatePart(child, tree, part);
        if (FAILED(hr)) return hr;
        *x = part->Bounds.left;
        *y = part->Bounds.top;
        *w = part->Bounds.right - part->Bounds.left;
        *h = part->Bounds.bottom - part->Bounds.top;
        return S_OK;
    }
    // A child as a client wants it: its own object when it has one (a child
    // window, a part with its own object), else its child id.
    HRESULT AnswerChild(long childId, VARIANT* out) {
        VARIANT id;
        VariantInit(&id);
        id.vt = VT_I4;
        id.lVal = childId;
        IDispatch* disp = nullptr;
        if (get_accChild(id, &disp) == S_OK && disp) {
            out->vt = VT_DISPATCH;
            out->pdispVal = disp;
        } else {
            *out = id;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long dir, VARIANT start, VARIANT* out) override {
        return AnswerFromSelf(out, [&](const TvlAccessNode& node) -> HRESULT {
            long n = static_cast<long>(node.Children.size()), target = 0;
            long from = start.vt == VT_I4 ? start.lVal : 0;
            switch (dir) {
                case NAVDIR_FIRSTCHILD: target = from == CHILDID_SELF && n > 0 ? 1 : 0; break;
                case NAVDIR_LASTCHILD: target = from == CHILDID_SELF && n > 0 ? n : 0; break;
                case NAVDIR_NEXT: target = from > 0 && from < n ? from + 1 : 0; break;
                case NAVDIR_PREVIOUS: target = from > 1 && from <= n ? from - 1 : 0; break;
                default: return DISP_E_MEMBERNOTFOUND;
            }
            if (target == 0) return S_FALSE;
            return AnswerChild(target, out);
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        return AnswerFromSelf(out, [&](const TvlAccessNode& node) -> HRESULT {
            // Later children are drawn over earlier ones.
            for (size_t i = node.Children.size(); i-- > 0;) {
                const TvlAccessNode& c = node.Children[i];
                if ((c.State & STATE_SYSTEM_INVISIBLE) || !Contains(c.Bounds, x, y)) continue;
                return AnswerChild(static_cast<long>(i + 1), out);
            }
            if (!Contains(node.Bounds, x, y)) return S_FALSE;
            out->vt = VT_I4;
            out->lVal = CHILDID_SELF;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        TvlAccessNode tree;
        const TvlAccessNode* part = nullptr;
        HRESULT hr = LocatePart(child, tree, part);
        if (FAILED(hr)) return hr;
        if (!part->Action) return DISP_E_MEMBERNOTFOUND;
        if (part->State & STATE_SYSTEM_UNAVAILABLE) return E_FAIL;
        // Tickets of windows that are gone will never be run.
        for (auto it = gPending.begin(); it != gPending.end();)
            it = IsWindow(it->second.Window) ? std::next(it) : gPending.erase(it);
        WPARAM ticket = gNextTicket++;
        gPending[ticket] = TPendingAction{FWindow, FPath, child.lVal};
        if (!PostMessageA(FWindow, TM_ACCESSACTION, ticket, 0)) {
            gPending.erase(ticket);
            return E_FAIL;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    static IDispatch* ObjectOfWindow(HWND wnd) {
        TWinControl* control = TWinControl::FromHandle(wnd);
        if (control && Serves(control)) return new TvlAccessibleObject(control, {});
        IDispatch* disp = nullptr;
        if (FAILED(AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), IID_IDispatch,
                                              reinterpret_cast<void**>(&disp))))
            return nullptr;
        return disp;
    }

private:
    // Describes the root control afresh and walks to this object's node.
    // The answer of a call that returns a VARIANT about this object, made
    // from a fresh description of it.
    template <class Answer>
    HRESULT AnswerFromSelf(VARIANT* out, Answer&& answer) {
        if (!out) return E_POINTER;
        VariantInit(out);
        TvlAccessNode tree;
        const TvlAccessNode* self = nullptr;
        HRESULT hr = Locate(tree, self);
        if (FAILED(hr)) return hr;
        return answer(*self);
    }
    HRESULT Locate(TvlAccessNode& tree, const TvlAccessNode*& self) {
        if (!FRoot || FRoot->Destroying() || !IsWindow(FWindow)) return CO_E_OBJNOTCONNECTED;
        tree = vlDescribe(FRoot);
        self = &tree;
        for (int id : FPath) {
            if (id < 1 || id > static_cast<int>(self->Children.size())) return CO_E_OBJNOTCONNECTED;
            self = &self->Children[static_cast<size_t>(id - 1)];
        }
        return S_OK;
    }
    HRESULT LocatePart(const VARIANT& child, TvlAccessNode& tree, const TvlAccessNode*& part) {
        const TvlAccessNode* self = nullptr;
        HRESULT hr = Locate(tree, self);
        if (FAILED(hr)) return hr;
        part = PartOf(*self, child);
        return part ? S_OK : E_INVALIDARG;
    }
    HRESULT Text(const VARIANT& child, BSTR* out, std::string TvlAccessNode::*field) {
        if (!out) return E_POINTER;
        *out = nullptr;
        TvlAccessNode tree;
        const TvlAccessNode* part = nullptr;
        HRESULT hr = LocatePart(child, tree, part);
        if (FAILED(hr)) return hr;
        return TextResult(part->*field, out);
    }

    HRESULT Number(const VARIANT& child, VARIANT* out, long TvlAccessNode::*field) {
        if (!out) return E_POINTER;
        VariantInit(out);
        TvlAccessNode tree;
        const TvlAccessNode* part = nullptr;
        HRESULT hr = LocatePart(child, tree, part);
        if (FAILED(hr)) return hr;
        out->vt = VT_I4;
        out->lVal = part->*field;
        return S_OK;
    }

    LONG FRefs = 1;
    TWinControl* FRoot;  // null once the control is destroyed
    HWND FWindow;
    std::vector<int> FPath;

    friend bool RunPendingAction(TWinControl* control, WPARAM ticket);
};

void TAccessWatch::Notification(TComponent* component, bool removing) {
    TComponent::Notification(component, removing);
    if (!removing) return;
    auto it = FLive.find(component);
    if (it == FLive.end()) return;
    std::vector<TvlAccessibleObject*> objects;
    objects.swap(it->second);
    FLive.erase(it);
    for (TvlAccessibleObject* o : objects) {
        o->AddRef();
        o->Disconnect();
    }
    // Clients in other processes lose their stubs' references now.
    for (TvlAccessibleObject* o : objects) CoDisconnectObject(static_cast<IAccessible*>(o), 0);
    for (TvlAccessibleObject* o : objects) o->Release();
}

bool RunPendingAction(TWinControl* control, WPARAM ticket) {
    auto it = gPending.find(ticket);
    if (it == gPending.end()) return true;
    TPendingAction pending = it->second;
    gPending.erase(it);
    if (pending.Window != control->Handle()) return true;
    TvlAccessNode tree = vlDescribe(control);
    const TvlAccessNode* self = &tree;
    for (int id : pending.Path) {
        if (id < 1 || id > static_cast<int>(self->Children.size())) return true;
        self = &self->Children[static_cast<size_t>(id - 1)];
    }
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = pending.Child;
    const TvlAccessNode* part = PartOf(*self, child);
    if (part && part->Action && !(part->State & STATE_SYSTEM_UNAVAILABLE)) part->Action();
    return true;
}

bool ServeMessage(TWinControl* control, TMessage& m) {
    if (m.Msg == TM_ACCESSACTION) {
        m.Result = 0;
        return RunPendingAction(control, m.WParam);
    }
    if (m.Msg == WM_SETTINGCHANGE) {
        // Every top-level window hears it; the first one switches the looks.
        if (m.WParam == SPI_SETHIGHCONTRAST) vlRefreshHighContrast();
        return false;
    }
    if (static_cast<LONG>(m.LParam) != OBJID_CLIENT || !Serves(control)) return false;
    EnsureCom();
    auto* object = new TvlAccessibleObject(control, {});
    LRESULT result = LresultFromObject(vlIID_IAccessible, m.WParam, static_cast<IAccessible*>(object));
    object->Release();
    if (FAILED(static_cast<HRESULT>(result))) return false;
    m.Result = result;
    return true;
}
}  // namespace

void vlAddDescriber(TvlDescriber describer) { Describers().push_back(std::move(describer)); }

std::string vlStripAccelerator(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') out += '&';
            ++i;
            if (i >= caption.size()) break;
            if (caption[i] == '&') continue;
        }
        out += caption[i];
    }
    return out;
}

std::string vlShortcutOf(const std::string& caption) {
    char key = AcceleratorOf(caption);
    return key ? std::string("Alt+") + key : std::string();
}

RECT vlScreenRect(HWND window, const RECT& r) {
    POINT a{r.left, r.top}, b{r.right, r.bottom};
    ClientToScreen(window, &a);
    ClientToScreen(window, &b);
    return RECT{a.x, a.y, b.x, b.y};
}

RECT vlScreenRect(TControl* control) {
    auto* win = dynamic_cast<TWinControl*>(control);
    RECT r{};
    if (win) {
        if (win->HandleAllocated()) GetWindowRect(win->Handle(), &r);
        return r;
    }
    TWinControl* parent = control->Parent();
    if (!parent || !parent->HandleAllocated()) return r;
    return vlScreenRect(parent->Handle(), control->BoundsRect());
}

long vlCommonState(TControl* control) {
    long state = 0;
    auto* win = dynamic_cast<TWinControl*>(control);
    bool shown = win && win->HandleAllocated() ? IsWindowVisible(win->Handle()) != FALSE : control->Visible();
    if (!shown) state |= STATE_SYSTEM_INVISIBLE;
    if (!control->Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
    if (win && win->TabStop) {
        state |= STATE_SYSTEM_FOCUSABLE;
        if (win->Focused()) state |= STATE_SYSTEM_FOCUSED;
    }
    return state;
}

TvlAccessNode vlDescribe(TControl* control, bool* known, bool children) {
    TvlAccessNode node;
    node.Control = control;
    node.Name = vlStripAccelerator(control->Caption());
    node.State = vlCommonState(control);
    node.Bounds = vlScreenRect(control);
    auto* win = dynamic_cast<TWinControl*>(control);
    node.Role = win ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_STATICTEXT;
    if (win && children) {
        for (int i = 0; i < win->ControlCount(); ++i) {
            TControl* c = win->Controls(i);
            auto* childWin = dynamic_cast<TWinControl*>(c);
            if (!childWin) {
                node.Children.push_back(vlDescribe(c));
                continue;
            }
            if (!childWin->HandleAllocated()) continue;
            // Read as its own object reads it; the parts inside are that
            // object's children.
            TvlAccessNode w = vlDescribe(c, nullptr, false);
            w.Window = childWin->Handle();
            w.Children.clear();
            node.Children.push_back(std::move(w));
        }
    }
    bool found = false;
    auto& describers = Describers();
    for (auto it = describers.rbegin(); it != describers.rend() && !found; ++it) found = (*it)(control, node);
    if (known) *known = found;
    return node;
}

void vlStartAccessServer() {
    gStarted = true;
    SetAccessServer(ServeMessage);
}

IAccessible* vlAccessibleObjectOf(TWinControl* control) {
    if (!control || !Serves(control)) return nullptr;
    return new TvlAccessibleObject(control, {});
}

void vlAccessEvent(TControl* control, DWORD event, int key) {
    if (!gStarted || !control) return;
    auto* win = dynamic_cast<TWinControl*>(control);
    if (win && key == 0) {
        if (win->HandleAllocated()) NotifyWinEvent(event, win->Handle(), OBJID_CLIENT, CHILDID_SELF);
        return;
    }
    TWinControl* host = win ? win : control->Parent();
    if (!host || !host->HandleAllocated() || host->Destroying()) return;
    TvlAccessNode node = vlDescribe(host);
    for (size_t i = 0; i < node.Children.size(); ++i) {
        const TvlAccessNode& c = node.Children[i];
        bool match = win ? c.Key == key : c.Control == control && (key == 0 || c.Key == key);
        if (match) {
            NotifyWinEvent(event, host->Handle(), OBJID_CLIENT, static_cast<LONG>(i + 1));
            return;
        }
    }
}

long vlAccessibleObjectCount() { return gLiveObjects.load(); }
