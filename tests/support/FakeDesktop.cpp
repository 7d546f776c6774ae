#include "support/FakeDesktop.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace quill::testing {

namespace {

FakeDesktop* current = nullptr;

std::string describe(const Rect& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
    return out.str();
}

bool isEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

FakeDesktop::FakeDesktop() {
    current = this;
}

FakeDesktop::~FakeDesktop() {
    if (current == this) {
        current = nullptr;
    }
}

Hwnd FakeDesktop::createWindow(const Rect& rect) {
    const Hwnd hwnd = nextHwnd_;
    nextHwnd_ += 0x10;
    Window& w = windows_[hwnd];
    w.rect = rect;
    w.proc = &FakeDesktop::ownProcedure;
    return hwnd;
}

LResult FakeDesktop::ownProcedure(Hwnd, std::uint32_t message, WParam, LParam) {
    if (current == nullptr) {
        return 0;
    }
    current->ownProcMessages.push_back(message);
    std::ostringstream line;
    line << "OwnProc 0x" << std::hex << message;
    current->log(line.str());
    return message == WM_NCHITTEST ? current->ownNcHitTestResult : 0;
}

void FakeDesktop::addForeignBar(std::uint32_t edge, const Rect& rect) {
    const Hwnd hwnd = createWindow(rect);
    registered.insert(hwnd);
    barEdges_[hwnd] = edge;
    reserved[hwnd] = rect;
}

void FakeDesktop::notifyBars(WParam code, LParam lParam) {
    const auto bars = callbackMessages_;
    for (const auto& [hwnd, callback] : bars) {
        if (registered.count(hwnd) != 0) {
            deliver(hwnd, callback, code, lParam);
        }
    }
}

void FakeDesktop::trim(Hwnd bar, std::uint32_t edge, Rect& rect) const {
    const auto across = [edge](std::uint32_t other) {
        const bool horizontal = edge == ABE_TOP || edge == ABE_BOTTOM;
        return horizontal == (other == ABE_LEFT || other == ABE_RIGHT);
    };
    for (const auto& [other, strip] : reserved) {
        if (other == bar || barEdges_.count(other) == 0) {
            continue;
        }
        const std::uint32_t otherEdge = barEdges_.at(other);
        if (otherEdge != edge && !(trimAcrossEdges && across(otherEdge))) {
            continue;
        }
        switch (otherEdge) {
        case ABE_LEFT:
            rect.left = std::max(rect.left, strip.right);
            break;
        case ABE_TOP:
            rect.top = std::max(rect.top, strip.bottom);
            break;
        case ABE_RIGHT:
            rect.right = std::min(rect.right, strip.left);
            break;
        case ABE_BOTTOM:
            rect.bottom = std::min(rect.bottom, strip.top);
            break;
        default:
            break;
        }
    }
}

std::uintptr_t FakeDesktop::SHAppBarMessage(std::uint32_t message, AppBarData& data) {
    failIfAsked("SHAppBarMessage");
    shellMessages.emplace_back(message, data);
    std::ostringstream line;
    line << "SHAppBarMessage " << message << " edge=" << data.uEdge << " lParam=" << data.lParam
         << " rc=" << describe(data.rc);
    log(line.str());
    switch (message) {
    case ABM_NEW:
        if (!registered.insert(data.hWnd).second) {
            return 0;
        }
        callbackMessages_[data.hWnd] = data.uCallbackMessage;
        return 1;
    case ABM_REMOVE:
        registered.erase(data.hWnd);
        reserved.erase(data.hWnd);
        barEdges_.erase(data.hWnd);
        for (auto it = autoHideBars.begin(); it != autoHideBars.end();) {
            it = it->second == data.hWnd ? autoHideBars.erase(it) : std::next(it);
        }
        return 1;
    case ABM_QUERYPOS:
        trim(data.hWnd, data.uEdge, data.rc);
        return 1;
    case ABM_SETPOS:
        trim(data.hWnd, data.uEdge, data.rc);
        if (isEmpty(data.rc) || data.uEdge > ABE_BOTTOM) {
            reserved.erase(data.hWnd);
            barEdges_.erase(data.hWnd);
        } else {
            reserved[data.hWnd] = data.rc;
            barEdges_[data.hWnd] = data.uEdge;
        }
        return 1;
    case ABM_SETAUTOHIDEBAR: {
        auto owner = autoHideBars.find(data.uEdge);
        if (data.lParam != 0) {
            if (owner != autoHideBars.end() && owner->second != data.hWnd) {
                return 0;
            }
            autoHideBars[data.uEdge] = data.hWnd;
            return 1;
        }
        if (owner != autoHideBars.end() && owner->second == data.hWnd) {
            autoHideBars.erase(owner);
        }
        return 1;
    }
    case ABM_GETAUTOHIDEBAR: {
        auto owner = autoHideBars.find(data.uEdge);
        return owner == autoHideBars.end() ? 0 : owner->second;
    }
    default:
        return 1;
    }
}

std::intptr_t FakeDesktop::GetWindowLong(Hwnd hwnd, int index) {
    failIfAsked("GetWindowLong");
    return windowLong(hwnd, index);
}

std::intptr_t FakeDesktop::windowLong(Hwnd hwnd, int index) const {
    const Window& w = window(hwnd);
    switch (index) {
    case GWL_STYLE:
        return w.style;
    case GWL_EXSTYLE:
        return w.exStyle;
    case GWL_WNDPROC:
        return reinterpret_cast<std::intptr_t>(w.proc);
    default:
        return 0;
    }
}

std::intptr_t FakeDesktop::SetWindowLong(Hwnd hwnd, int index, std::intptr_t value) {
    failIfAsked("SetWindowLong");
    std::ostringstream line;
    line << "SetWindowLong " << index << " " << std::hex << value;
    log(line.str());
    Window& w = window(hwnd);
    const std::intptr_t old = windowLong(hwnd, index);
    switch (index) {
    case GWL_STYLE:
        w.style = value;
        break;
    case GWL_EXSTYLE:
        w.exStyle = value;
        break;
    case GWL_WNDPROC:
        w.proc = reinterpret_cast<WndProc>(value);
        break;
    default:
        break;
    }
    return old;
}

LResult FakeDesktop::CallWindowProc(WndProc proc, Hwnd hwnd, std::uint32_t message, WParam wParam,
                                    LParam lParam) {
    failIfAsked("CallWindowProc");
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

LResult FakeDesktop::SendMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) {
    failIfAsked("SendMessage");
    return deliver(hwnd, message, wParam, lParam);
}

LResult FakeDesktop::deliver(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) {
    WndProc proc = window(hwnd).proc;
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

bool FakeDesktop::SetWindowPos(Hwnd hwnd, Hwnd insertAfter, int x, int y, int cx, int cy,
                               std::uint32_t flags) {
    failIfAsked("SetWindowPos");
    std::ostringstream line;
    line << "SetWindowPos " << static_cast<std::intptr_t>(insertAfter) << " " << x << " " << y
         << " " << cx << " " << cy << " 0x" << std::hex << flags;
    log(line.str());
    Window& w = window(hwnd);
    if ((flags & SWP_NOMOVE) == 0) {
        const int width = w.rect.width(), height = w.rect.height();
        w.rect = {x, y, x + width, y + height};
    }
    if ((flags & SWP_NOSIZE) == 0) {
        w.rect.right = w.rect.left + cx;
        w.rect.bottom = w.rect.top + cy;
    }
    if ((flags & SWP_NOZORDER) == 0) {
        w.zOrder = insertAfter;
    }
    deliver(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
    return true;
}

bool FakeDesktop::ShowWindow(Hwnd hwnd, int command) {
    failIfAsked("ShowWindow");
    log("ShowWindow " + std::to_string(command));
    Window& w = window(hwnd);
    const bool was = w.visible;
    w.visible = command != SW_HIDE;
    if (was != w.visible) {
        deliver(hwnd, WM_WINDOWPOSCHANGED, 0, 0);
    }
    return was;
}

bool FakeDesktop::IsWindowVisible(Hwnd hwnd) {
    failIfAsked("IsWindowVisible");
    return window(hwnd).visible;
}

bool FakeDesktop::UpdateWindow(Hwnd) {
    failIfAsked("UpdateWindow");
    log("UpdateWindow");
    return true;
}

bool FakeDesktop::GetWindowRect(Hwnd hwnd, Rect& rect) {
    failIfAsked("GetWindowRect");
    rect = window(hwnd).rect;
    return true;
}

bool FakeDesktop::GetClientRect(Hwnd hwnd, Rect& rect) {
    failIfAsked("GetClientRect");
    const Rect& r = window(hwnd).rect;
    rect = {0, 0, r.width(), r.height()};
    return true;
}

bool FakeDesktop::ClientToScreen(Hwnd hwnd, Point& point) {
    failIfAsked("ClientToScreen");
    point.x += window(hwnd).rect.left;
    point.y += window(hwnd).rect.top;
    return true;
}

bool FakeDesktop::SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t milliseconds) {
    failIfAsked("SetTimer");
    log("SetTimer " + std::to_string(id) + " " + std::to_string(milliseconds));
    window(hwnd).timers.insert(id);
    return true;
}

bool FakeDesktop::KillTimer(Hwnd hwnd, std::uintptr_t id) {
    failIfAsked("KillTimer");
    log("KillTimer " + std::to_string(id));
    return window(hwnd).timers.erase(id) != 0;
}

int FakeDesktop::GetSystemMetrics(int index) {
    failIfAsked("GetSystemMetrics");
    switch (index) {
    case SM_CXSCREEN:
        return screenWidth;
    case SM_CYSCREEN:
        return screenHeight;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

bool FakeDesktop::GetWorkArea(Rect& rect) {
    failIfAsked("GetWorkArea");
    rect = {0, 0, screenWidth, screenHeight};
    for (const auto& [hwnd, strip] : reserved) {
        switch (barEdges_.at(hwnd)) {
        case ABE_LEFT:
            rect.left = std::max(rect.left, strip.right);
            break;
        case ABE_TOP:
            rect.top = std::max(rect.top, strip.bottom);
            break;
        case ABE_RIGHT:
            rect.right = std::min(rect.right, strip.left);
            break;
        case ABE_BOTTOM:
            rect.bottom = std::min(rect.bottom, strip.top);
            break;
        default:
            break;
        }
    }
    return true;
}

bool FakeDesktop::GetDragFullWindows() {
    failIfAsked("GetDragFullWindows");
    return dragFullWindows;
}

bool FakeDesktop::GetCursorPos(Point& point) {
    failIfAsked("GetCursorPos");
    point = cursor;
    return true;
}

std::uint32_t FakeDesktop::GetMessagePos() {
    failIfAsked("GetMessagePos");
    return messagePos;
}

std::int16_t FakeDesktop::GetKeyState(int virtualKey) {
    failIfAsked("GetKeyState");
    return virtualKey == VK_CONTROL ? controlKeyState : 0;
}

Hwnd FakeDesktop::GetActiveWindow() {
    failIfAsked("GetActiveWindow");
    return activeWindow;
}

Hmenu FakeDesktop::GetSystemMenu(Hwnd hwnd, bool) {
    failIfAsked("GetSystemMenu");
    return hwnd;
}

bool FakeDesktop::DeleteMenu(Hmenu menu, std::uint32_t item, std::uint32_t) {
    failIfAsked("DeleteMenu");
    log("DeleteMenu " + std::to_string(item));
    window(menu).deletedMenuItems.push_back(item);
    return true;
}

int FakeDesktop::MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                            std::uint32_t style) {
    failIfAsked("MessageBox");
    boxes.push_back({owner, text, caption, style});
    return 1;
}

std::uint32_t FakeDesktop::GetTickCount() {
    failIfAsked("GetTickCount");
    const std::uint32_t now = tickCount;
    tickCount += tickStep;
    return now;
}

void FakeDesktop::failIfAsked(const char* call) const {
    if (failingCall == call) {
        throw std::runtime_error(std::string("FakeDesktop: ") + call + " fails");
    }
}

} // namespace quill::testing
