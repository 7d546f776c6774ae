#include "platform/x11/AppBarShell.h"
#include "platform/x11/Struts.h"
#include "platform/x11/XConnection.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quill::platform::x11 {

namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kStateRemove = 0, kStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;

const char* const kAutoHideAtoms[] = {"_QUILLMARK_AUTOHIDE_LEFT", "_QUILLMARK_AUTOHIDE_TOP",
                                      "_QUILLMARK_AUTOHIDE_RIGHT", "_QUILLMARK_AUTOHIDE_BOTTOM"};
// The edge and rectangle a bar of ours was granted (edge, left, top, right, bottom): exact
// where a strut, counted from the screen edge, would also cover the bars nearer the edge.
const char* const kGrantedStrip = "_QUILLMARK_APPBAR_STRIP";
// Every program's registered bars, so that one not yet mapped (and so not in the window
// manager's client list) is already in the way of the others.
const char* const kBarList = "_QUILLMARK_APPBARS";

bool contains(const std::vector<std::uint32_t>& values, std::uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

class X11AppBarShell final : public AppBarShell {
public:
    explicit X11AppBarShell(std::unique_ptr<XConnection> x) : x_(std::move(x)) {
        x_->selectInput(x_->root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
        workArea_ = x_->property(x_->root(), atom("_NET_WORKAREA")).value_or(Values{});
        othersStruts_ = othersStruts();
        followActiveWindow();
        x_->flush();
    }

    std::uintptr_t message(std::uint32_t message, AppBarData& data) override {
        const auto window = static_cast<xcb_window_t>(data.hWnd);
        switch (message) {
        case ABM_NEW:
            return registerBar(window, data.uCallbackMessage);
        case ABM_REMOVE:
            removeBar(window);
            return 1;
        case ABM_QUERYPOS:
            x_->readScreenSize(); // a bar docks again when the screen's size changed
            trim(window, data.uEdge, data.rc);
            return 1;
        case ABM_SETPOS:
            x_->readScreenSize();
            trim(window, data.uEdge, data.rc);
            if (bars_.count(window) == 0) {
                return 0;
            }
            reserve(window, data.uEdge, data.rc);
            return 1;
        case ABM_SETAUTOHIDEBAR:
            return claimAutoHide(window, data.uEdge, data.lParam != 0);
        case ABM_GETAUTOHIDEBAR:
            return autoHideBar(data.uEdge);
        case ABM_ACTIVATE:
        case ABM_WINDOWPOSCHANGED:
            return 1;
        default:
            return 0;
        }
    }

    void setZOrder(Hwnd window, Hwnd insertAfter) override {
        bool above = false, below = false;
        if (insertAfter == HWND_TOPMOST) {
            above = true;
        } else if (insertAfter == HWND_BOTTOM) {
            below = true;
        } else if (insertAfter != HWND_NOTOPMOST) {
            return;
        }
        const auto xid = static_cast<xcb_window_t>(window);
        Wishes& wishes = wishes_[xid];
        wishes[atom("_NET_WM_STATE_ABOVE")] = above;
        wishes[atom("_NET_WM_STATE_BELOW")] = below;
        updateEventMask(xid);
        applyStates(xid);
    }

    void setSkipTaskbar(Hwnd window, bool skip) override {
        const auto xid = static_cast<xcb_window_t>(window);
        wishes_[xid][atom("_NET_WM_STATE_SKIP_TASKBAR")] = skip;
        updateEventMask(xid);
        applyStates(xid);
    }

    Rect workArea() override {
        const auto area = x_->property(x_->root(), atom("_NET_WORKAREA"));
        if (area && area->size() >= 4) {
            const auto& v = *area;
            const auto left = static_cast<std::int32_t>(v[0]);
            const auto top = static_cast<std::int32_t>(v[1]);
            return Rect{left, top, left + static_cast<std::int32_t>(v[2]),
                        top + static_cast<std::int32_t>(v[3])};
        }
        return Rect{0, 0, x_->screenWidth(), x_->screenHeight()};
    }

    int fileDescriptor() const override { return x_->fileDescriptor(); }

    void processEvents() override {
        for (;;) {
            const Changes changes = drainEvents();
            if (!changes.any()) {
                return;
            }
            if (changes.workArea || changes.docks) {
                spaceChanged();
            }
            if (changes.activeWindow) {
                activeWindowChanged();
            }
        }
    }

private:
    using Values = std::vector<std::uint32_t>;

    struct Bar {
        std::uint32_t callbackMessage = 0;
        Strut strut{};
        Values granted;
    };
    // _NET_WM_STATE items we keep on a window (on or off), since a window manager drops them
    // when the window is unmapped.
    using Wishes = std::map<xcb_atom_t, bool>;
    struct Changes {
        bool workArea = false, docks = false, activeWindow = false, other = false;
        bool any() const { return workArea || docks || activeWindow || other; }
    };

    xcb_atom_t atom(const std::string& name) { return x_->atom(name); }
    ScreenSize screen() const { return {x_->screenWidth(), x_->screenHeight()}; }

    std::uintptr_t registerBar(xcb_window_t window, std::uint32_t callbackMessage) {
        if (bars_.count(window) != 0 || !x_->exists(window)) {
            return 0;
        }
        // The window manager reads the type when it maps the window, so it goes first;
        // whatever types the toolkit set stay behind it.
        const xcb_atom_t dock = atom("_NET_WM_WINDOW_TYPE_DOCK");
        Values types{dock};
        for (const std::uint32_t type :
             x_->property(window, atom("_NET_WM_WINDOW_TYPE")).value_or(Values{})) {
            if (type != dock) {
                types.push_back(type);
            }
        }
        x_->setProperty(window, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, types);
        listBar(window, true);
        bars_[window] = Bar{callbackMessage, {}, {}};
        updateEventMask(window);
        putOnAllDesktops(window);
        // Our requests must be in before the toolkit maps the window on its own connection.
        x_->sync();
        return 1;
    }

    void removeBar(xcb_window_t window) {
        if (bars_.count(window) != 0) {
            writeStrut(window, Strut{}, Values{});
            bars_.erase(window);
            listBar(window, false);
        }
        for (std::uint32_t edge = ABE_LEFT; edge <= ABE_BOTTOM; ++edge) {
            claimAutoHide(window, edge, false);
        }
        updateEventMask(window);
        x_->flush();
    }

    void trim(xcb_window_t window, std::uint32_t edge, Rect& rect) {
        if (edge > ABE_BOTTOM) {
            return;
        }
        std::set<xcb_window_t> others = listedWindows();
        for (const auto& [bar, state] : bars_) {
            others.insert(bar);
        }
        others.erase(window);
        std::vector<Rect> strips;
        for (const xcb_window_t other : others) {
            if (auto strip = stripHeldBy(other, edge)) {
                strips.push_back(*strip);
            }
        }
        trimPast(edge, rect, strips);
    }

    // The window manager's clients and every program's bars.
    std::set<xcb_window_t> listedWindows() {
        std::set<xcb_window_t> windows;
        for (const char* list : {"_NET_CLIENT_LIST", kBarList}) {
            for (const std::uint32_t window :
                 x_->property(x_->root(), atom(list)).value_or(Values{})) {
                windows.insert(window);
            }
        }
        return windows;
    }

    // Adds a bar to the shared list or takes it out, dropping bars whose windows are gone.
    void listBar(xcb_window_t window, bool add) {
        const xcb_atom_t name = atom(kBarList);
        x_->grabServer();
        Values bars;
        for (const std::uint32_t bar : x_->property(x_->root(), name).value_or(Values{})) {
            if (bar != window && x_->exists(bar)) {
                bars.push_back(bar);
            }
        }
        if (add) {
            bars.push_back(window);
        }
        x_->setProperty(x_->root(), name, XCB_ATOM_WINDOW, bars);
        x_->ungrabServer();
    }

    std::optional<Rect> stripHeldBy(xcb_window_t window, std::uint32_t edge) {
        if (const auto granted = x_->property(window, atom(kGrantedStrip));
            granted && granted->size() == 5) {
            const auto& g = *granted;
            if (g[0] != edge) {
                return std::nullopt;
            }
            return Rect{static_cast<std::int32_t>(g[1]), static_cast<std::int32_t>(g[2]),
                        static_cast<std::int32_t>(g[3]), static_cast<std::int32_t>(g[4])};
        }
        const auto strut = strutFrom(x_->property(window, atom("_NET_WM_STRUT_PARTIAL")),
                                     x_->property(window, atom("_NET_WM_STRUT")), screen());
        if (!strut) {
            return std::nullopt;
        }
        const auto place = x_->screenRect(window);
        if (!place) {
            return std::nullopt;
        }
        return heldStrip(*strut, edge, *place, screen());
    }

    void reserve(xcb_window_t window, std::uint32_t edge, const Rect& strip) {
        const Strut strut = edge <= ABE_BOTTOM ? strutFor(edge, strip, screen()) : Strut{};
        Values granted;
        if (strut != Strut{}) {
            granted = {
                edge, static_cast<std::uint32_t>(strip.left), static_cast<std::uint32_t>(strip.top),
                static_cast<std::uint32_t>(strip.right), static_cast<std::uint32_t>(strip.bottom)};
        }
        Bar& bar = bars_[window];
        if (strut == bar.strut && granted == bar.granted) {
            return;
        }
        bar.strut = strut;
        bar.granted = granted;
        writeStrut(window, strut, granted);
        x_->flush();
    }

    void writeStrut(xcb_window_t window, const Strut& strut, const Values& granted) {
        if (strut == Strut{}) {
            x_->deleteProperty(window, atom("_NET_WM_STRUT_PARTIAL"));
            x_->deleteProperty(window, atom("_NET_WM_STRUT"));
            x_->deleteProperty(window, atom(kGrantedStrip));
            return;
        }
        x_->setProperty(window, atom(kGrantedStrip), XCB_ATOM_CARDINAL, granted);
        x_->setProperty(window, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, strut);
        x_->setProperty(window, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL,
                        std::span(strut).first(4));
    }

    std::uintptr_t claimAutoHide(xcb_window_t window, std::uint32_t edge, bool claim) {
        if (edge > ABE_BOTTOM) {
            return 0;
        }
        const xcb_atom_t name = atom(kAutoHideAtoms[edge]);
        // Another process may be claiming the same edge: read and write as one step.
        x_->grabServer();
        const xcb_window_t current = x_->firstItem(x_->root(), name);
        std::uintptr_t result = 1;
        if (claim) {
            if (current != window && x_->exists(current)) {
                result = 0;
            } else {
                const std::uint32_t value = window;
                x_->setProperty(x_->root(), name, XCB_ATOM_WINDOW, std::span(&value, 1));
            }
        } else if (current == window) {
            x_->deleteProperty(x_->root(), name);
        }
        x_->ungrabServer();
        return result;
    }

    std::uintptr_t autoHideBar(std::uint32_t edge) {
        if (edge > ABE_BOTTOM) {
            return 0;
        }
        const xcb_window_t current = x_->firstItem(x_->root(), atom(kAutoHideAtoms[edge]));
        return x_->exists(current) ? current : 0;
    }

    void putOnAllDesktops(xcb_window_t window) {
        const xcb_atom_t desktop = atom("_NET_WM_DESKTOP");
        if (x_->mapped(window)) {
            x_->sendToRoot(window, desktop, {kAllDesktops, kSourceApplication, 0, 0, 0});
        } else {
            x_->setProperty(window, desktop, XCB_ATOM_CARDINAL, std::span(&kAllDesktops, 1));
        }
    }

    void applyStates(xcb_window_t window) {
        const auto found = wishes_.find(window);
        if (found == wishes_.end()) {
            return;
        }
        const xcb_atom_t netWmState = atom("_NET_WM_STATE");
        if (x_->mapped(window)) {
            for (const auto& [state, on] : found->second) {
                x_->sendToRoot(window, netWmState,
                               {on ? kStateAdd : kStateRemove, state, 0, kSourceApplication, 0});
            }
        } else {
            Values states = x_->property(window, netWmState).value_or(Values{});
            for (const auto& [state, on] : found->second) {
                std::erase(states, state);
                if (on) {
                    states.push_back(state);
                }
            }
            x_->setProperty(window, netWmState, XCB_ATOM_ATOM, states);
            // In before the toolkit maps the window on its own connection.
            x_->sync();
        }
        x_->flush();
    }

    // A window manager forgets a window's desktop and states when it is unmapped; a bar
    // shown again gets them back.
    void mapped(xcb_window_t window) {
        if (bars_.count(window) != 0) {
            putOnAllDesktops(window);
        }
        applyStates(window);
        x_->flush();
    }

    void forget(xcb_window_t window) {
        bars_.erase(window);
        wishes_.erase(window);
    }

    void updateEventMask(xcb_window_t window) {
        std::uint32_t mask = XCB_EVENT_MASK_NO_EVENT;
        if (bars_.count(window) != 0 || wishes_.count(window) != 0) {
            mask |= XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        }
        if (window == active_) {
            // A window manager may leave a destroyed window named as the active one.
            mask |= XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        }
        x_->selectInput(window, mask);
    }

    Changes drainEvents() {
        Changes changes;
        while (xcb_generic_event_t* event = xcb_poll_for_event(x_->raw())) {
            handle(*event, changes);
            std::free(event);
        }
        return changes;
    }

    void handle(const xcb_generic_event_t& event, Changes& changes) {
        switch (event.response_type & 0x7F) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (e.window == x_->root() && e.atom == atom("_NET_WORKAREA")) {
                changes.workArea = true;
            } else if (e.window == x_->root() &&
                       (e.atom == atom("_NET_CLIENT_LIST") || e.atom == atom(kBarList))) {
                changes.docks = true;
            } else if (e.window == x_->root() && e.atom == atom("_NET_ACTIVE_WINDOW")) {
                changes.activeWindow = true;
            } else if (e.window == active_ && e.atom == atom("_NET_WM_STATE")) {
                changes.activeWindow = true;
            }
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
            if (e.event == e.window) {
                mapped(e.window);
                changes.other = true;
            }
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_unmap_notify_event_t&>(event);
            if (e.event == e.window && e.window == active_) {
                changes.activeWindow = true;
            }
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            forget(e.window);
            if (e.window == active_) {
                changes.activeWindow = true;
            }
            break;
        }
        default:
            break; // errors about windows that have gone, and events we do not use
        }
    }

    // A bar stacked below another's strip moves up when that strip goes or shrinks, which need
    // not change the work area: the lower bar's own strut, counted from the edge, covers both.
    void spaceChanged() {
        Values area = x_->property(x_->root(), atom("_NET_WORKAREA")).value_or(Values{});
        Values struts = othersStruts();
        if (area == workArea_ && struts == othersStruts_) {
            return;
        }
        workArea_ = std::move(area);
        othersStruts_ = std::move(struts);
        notifyBars(ABN_POSCHANGED, 0);
    }

    // What the other windows reserve, as they say it: each window with its granted strip and
    // struts.
    Values othersStruts() {
        Values struts;
        for (const xcb_window_t window : listedWindows()) {
            if (bars_.count(window) != 0) {
                continue;
            }
            Values held;
            for (const char* name : {kGrantedStrip, "_NET_WM_STRUT_PARTIAL", "_NET_WM_STRUT"}) {
                const Values values = x_->property(window, atom(name)).value_or(Values{});
                held.push_back(static_cast<std::uint32_t>(values.size()));
                held.insert(held.end(), values.begin(), values.end());
            }
            if (held != Values(3, 0)) {
                struts.push_back(window);
                struts.insert(struts.end(), held.begin(), held.end());
            }
        }
        return struts;
    }

    void activeWindowChanged() {
        const bool wasFullScreen = fullScreen_;
        followActiveWindow();
        if (fullScreen_ != wasFullScreen) {
            notifyBars(ABN_FULLSCREENAPP, fullScreen_ ? 1 : 0);
        }
    }

    // Watches the active window's states and judges whether it fills the screen. One of our
    // own bars being active says nothing either way.
    void followActiveWindow() {
        const xcb_window_t now = x_->firstItem(x_->root(), atom("_NET_ACTIVE_WINDOW"));
        if (now != active_) {
            const xcb_window_t before = active_;
            active_ = now;
            if (before != XCB_WINDOW_NONE) {
                updateEventMask(before);
            }
            if (now != XCB_WINDOW_NONE) {
                updateEventMask(now);
            }
        }
        if (bars_.count(active_) != 0) {
            return;
        }
        fullScreen_ = active_ != XCB_WINDOW_NONE && x_->mapped(active_) &&
                      contains(x_->property(active_, atom("_NET_WM_STATE")).value_or(Values{}),
                               atom("_NET_WM_STATE_FULLSCREEN"));
    }

    void notifyBars(WParam code, LParam lParam) {
        const auto bars = bars_;
        for (const auto& [window, bar] : bars) {
            if (notify && bars_.count(window) != 0) {
                notify(window, bar.callbackMessage, code, lParam);
            }
        }
    }

    std::unique_ptr<XConnection> x_;
    std::map<xcb_window_t, Bar> bars_;
    std::map<xcb_window_t, Wishes> wishes_;
    Values workArea_;
    Values othersStruts_;
    xcb_window_t active_ = XCB_WINDOW_NONE;
    bool fullScreen_ = false;
};

} // namespace

std::unique_ptr<AppBarShell> makeX11AppBarShell() {
    auto x = std::make_unique<XConnection>();
    if (!x->ok()) {
        return nullptr;
    }
    return std::make_unique<X11AppBarShell>(std::move(x));
}

} // namespace quill::platform::x11
