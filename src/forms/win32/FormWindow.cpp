#include "forms/win32/FormWindow.h"

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/GuardedCall.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/RepaintPlan.h"
#include "forms/Twips.h"
#include "forms/win32/Fonts.h"
#include "platform/win32/Wide.h"

#include <algorithm>
#include <windowsx.h>

namespace quill::forms::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"QuillmarkForm";
constexpr wchar_t kOwnerClass[] = L"QuillmarkApplication";
// Posted once per burst of changes outside the timers, so the burst is looked at when it is over.
constexpr UINT kShowChanges = WM_APP + 1;

COLORREF toColorRef(Color color) {
    return RGB(color.r, color.g, color.b);
}

void fill(HDC dc, const RECT& rect, Color color) {
    SetBkColor(dc, toColorRef(color));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

Rect toRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT toRECT(const Rect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The hidden window that owns every form, as in the classic window model: Windows gives an
// unowned window a taskbar button whatever its styles, an owned one only with WS_EX_APPWINDOW.
HWND applicationWindow() {
    static const HWND window = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kOwnerClass;
        RegisterClassExW(&windowClass);
        return CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"Quillmark", WS_POPUP, 0, 0, 0, 0,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }();
    return window;
}

} // namespace

ATOM FormWindow::windowClass() {
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &FormWindow::windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    return registered;
}

bool FormWindow::navigate(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || message.hwnd == nullptr) {
        return false;
    }
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || GetClassLongPtrW(root, GCW_ATOM) != windowClass()) {
        return false;
    }
    return IsDialogMessageW(root, &message) != FALSE;
}

FormWindow::FormWindow(Form& form, Fonts& fonts, ChangesAfterTimers& changes)
    : form_(form), fonts_(fonts), changes_(changes), kinds_(form),
      geometry_(kinds_, form.app().twipsPerPixelX(), form.app().twipsPerPixelY()),
      natives_(kinds_, geometry_), shown_(kinds_, [this](const Control& control) {
          return ShownControls::Place{toRect(geometry_.clippedRect(control)),
                                      toRect(geometry_.rect(control))};
      }) {
    // The client area has the design size, centred on the work area with its corner kept on it.
    const DWORD frame = form.borderStyle() == BorderStyle::None
                            ? WS_POPUP
                            : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD style = frame | WS_CLIPCHILDREN;
    // A window with a caption can be minimised, and then only its taskbar button brings it back.
    const DWORD exStyle = form.borderStyle() == BorderStyle::None ? 0 : WS_EX_APPWINDOW;
    RECT outer{0, 0, twipsToPixels(form.designWidth(), form.app().twipsPerPixelX()),
               twipsToPixels(form.designHeight(), form.app().twipsPerPixelY())};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = std::max(work.left, (work.left + work.right - width) / 2);
    const int y = std::max(work.top, (work.top + work.bottom - height) / 2);
    hwnd_ = CreateWindowExW(exStyle, MAKEINTATOM(windowClass()),
                            platform::win32::widen(form.caption()).c_str(), style, x, y, width,
                            height, applicationWindow(), nullptr, GetModuleHandleW(nullptr), this);
    sight_.watch(hwnd_);
    cover_.watch(hwnd_, [this] { callGuarded([this] { tellSeen(); }); });
}

void FormWindow::tellSeen() {
    form_.seenChanged(sight_.seen() && !cover_.covered());
}

FormWindow::~FormWindow() {
    changes_.forget(*this);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    sight_.forget();
    cover_.forget();
    DestroyWindow(hwnd_);
    dropBuffer();
    if (brush_ != nullptr) {
        DeleteObject(brush_);
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->hwnd_ != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    bool handled = false;
    callGuarded([&] {
        result = window->handle(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_PRINTCLIENT: {
        // As a screen capture or an animation asks for it, drawn whole.
        RECT client{};
        GetClientRect(hwnd_, &client);
        draw(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_CLOSE:
        // The program decides when a form goes, not the window's close box: the form and its
        // handle stay, the window only hides.
        ShowWindow(hwnd_, SW_HIDE);
        return 0;
    case WM_ERASEBKGND:
        return 1; // everything is painted in WM_PAINT, at once
    case kShowChanges:
        showChanges();
        return 0;
    case WM_MOUSEMOVE:
        pointerMoved(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        // Held until the release, wherever the pointer goes meanwhile.
        pressed_ = true;
        SetCapture(hwnd_);
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            ReleaseCapture();
            clicked(lParam);
        }
        return 0;
    case WM_CONTEXTMENU:
        // (-1, -1) comes from the keyboard's menu key, which the bar never has the focus for.
        if (const platform::Point at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            at.x != -1 || at.y != -1) {
            form_.rightClickAt(at);
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case WM_COMMAND:
        if (natives_.command(reinterpret_cast<HWND>(lParam), HIWORD(wParam))) {
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Options and frames sit on the form's colour.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, toColorRef(form_.backColor()));
        return reinterpret_cast<LRESULT>(backBrush());
    }
    case WM_SHOWWINDOW:
        if (wParam != FALSE) {
            natives_.showIn(form_, hwnd_, fonts_.dialog());
        } else {
            // Windows hides owned windows only with a minimised owner: a tip would outlive the
            // bar it belongs to.
            ShowOwnedPopups(hwnd_, FALSE);
        }
        break;
    case WM_WTSSESSION_CHANGE:
    case WM_POWERBROADCAST:
        if (sight_.message(message, wParam, lParam)) {
            tellSeen();
        }
        break;
    case WM_WINDOWPOSCHANGED:
        cover_.lookAgain(); // e.g. the app bar went to the bottom for a full-screen window
        break;
    case WM_SIZE:
        if (IsWindowVisible(hwnd_)) {
            natives_.showIn(form_, hwnd_, fonts_.dialog());
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HBRUSH FormWindow::backBrush() {
    if (brush_ == nullptr || brushColor_ != form_.backColor()) {
        if (brush_ != nullptr) {
            DeleteObject(brush_);
        }
        brushColor_ = form_.backColor();
        brush_ = CreateSolidBrush(toColorRef(brushColor_));
    }
    return brush_;
}

void FormWindow::controlChanged(const Control* control) {
    if (control == nullptr) {
        SetWindowTextW(hwnd_, platform::win32::widen(form_.caption()).c_str());
        // The options and frames take the form's colour too.
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    const ControlKind kind = kinds_.of(*control);
    if (kind == ControlKind::Label || kind == ControlKind::PictureBox ||
        kind == ControlKind::Frame) {
        if (!checkPending_) {
            if (changes_.collecting()) {
                changes_.add(*this);
                checkPending_ = true;
            } else {
                checkPending_ = PostMessageW(hwnd_, kShowChanges, 0, 0) != FALSE;
            }
        }
    }
    if (kind != ControlKind::Label) {
        natives_.changed(*control);
    }
}

void FormWindow::showChanges() {
    checkPending_ = false;
    const std::vector<ShownChange> changes = shown_.update(form_);
    if (!IsWindowVisible(hwnd_)) {
        return; // a hidden window is painted whole when it shows
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    const RepaintPlan plan = planRepaint(changes, toRect(client), nativeArea());
    if (plan.scrolls.empty() && plan.paint.isEmpty()) {
        return;
    }
    // Drawn now rather than through an update region and WM_PAINT: the strip changes 64 times a
    // second, and each trip through the update region costs the window system several calls.
    HDC screen = GetDC(hwnd_);
    PixelArea paint = plan.paint;
    HRGN unsupplied = CreateRectRgn(0, 0, 0, 0);
    for (const ScrollStep& step : plan.scrolls) {
        const RECT area = toRECT(step.area);
        // Pixels the move could not take, such as those another window hides, are drawn too.
        RECT box{};
        if (ScrollDC(screen, step.delta.x, step.delta.y, &area, &area, unsupplied, nullptr) ==
            FALSE) {
            paint.add(step.area);
        } else if (GetRgnBox(unsupplied, &box) > NULLREGION) {
            paint.add(toRect(box));
        }
    }
    DeleteObject(unsupplied);
    for (const Rect& rect : paint) {
        draw(screen, toRECT(rect));
    }
    ReleaseDC(hwnd_, screen);
}

PixelArea FormWindow::nativeArea() const {
    PixelArea area;
    for (const Control* control : form_.controls()) {
        if (kinds_.native(*control) && kinds_.shownWithContainers(*control)) {
            area.add(toRect(geometry_.clippedRect(*control)));
        }
    }
    return area;
}

void FormWindow::repaintNow(const Control& control) {
    showChanges();
    if (HWND native = natives_.window(control)) {
        RedrawWindow(native, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        return;
    }
    const RECT rect = geometry_.clippedRect(control);
    RedrawWindow(hwnd_, &rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void FormWindow::paint() {
    PAINTSTRUCT ps{};
    HDC screen = BeginPaint(hwnd_, &ps);
    draw(screen, ps.rcPaint);
    EndPaint(hwnd_, &ps);
}

void FormWindow::draw(HDC screen, const RECT& area) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT exposed{};
    if (!IntersectRect(&exposed, &area, &client)) {
        return;
    }
    HDC memory = buffer(screen);
    const int saved = SaveDC(memory);
    IntersectClipRect(memory, exposed.left, exposed.top, exposed.right, exposed.bottom);
    drawnPixels_ +=
        static_cast<long long>(exposed.right - exposed.left) * (exposed.bottom - exposed.top);
    fill(memory, exposed, form_.backColor());
    paintChildren(memory, form_, exposed);
    RestoreDC(memory, saved);
    BitBlt(screen, exposed.left, exposed.top, exposed.right - exposed.left,
           exposed.bottom - exposed.top, memory, exposed.left, exposed.top, SRCCOPY);
}

HDC FormWindow::buffer(HDC screen) {
    // Kept between frames: the strip repaints 64 times a second.
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (bufferDc_ != nullptr && bufferSize_.cx >= client.right && bufferSize_.cy >= client.bottom) {
        return bufferDc_;
    }
    dropBuffer();
    bufferSize_ = {std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1)};
    bufferDc_ = CreateCompatibleDC(screen);
    bufferBitmap_ = CreateCompatibleBitmap(screen, bufferSize_.cx, bufferSize_.cy);
    bufferOld_ = SelectObject(bufferDc_, bufferBitmap_);
    return bufferDc_;
}

void FormWindow::dropBuffer() {
    if (bufferDc_ == nullptr) {
        return;
    }
    SelectObject(bufferDc_, bufferOld_);
    DeleteObject(bufferBitmap_);
    DeleteDC(bufferDc_);
    bufferDc_ = nullptr;
}

void FormWindow::paintChildren(HDC dc, const Container& container, const RECT& exposed) {
    for (const Control* child : container.children()) {
        const ControlKind kind = kinds_.of(*child);
        // A frame's line is its group box's; what it holds is drawn here.
        const bool drawnHere = kinds_.windowless(*child) || kind == ControlKind::Frame;
        if (!drawnHere || !child->visible()) {
            continue;
        }
        const RECT clipped = geometry_.clippedRect(*child);
        RECT common{};
        if (!IntersectRect(&common, &clipped, &exposed)) {
            continue;
        }
        if (kind == ControlKind::Label) {
            paintLabel(dc, static_cast<const Label&>(*child), clipped);
            continue;
        }
        if (kind == ControlKind::PictureBox) {
            fill(dc, clipped, static_cast<const PictureBox&>(*child).backColor());
        }
        paintChildren(dc, *kinds_.asContainer(*child), exposed);
    }
}

void FormWindow::paintLabel(HDC dc, const Label& label, const RECT& clipped) {
    fill(dc, clipped, label.backColor());
    if (label.caption().empty()) {
        return;
    }
    RECT whole = geometry_.rect(label);
    const std::wstring text = platform::win32::widen(label.caption());
    // A label sized by its caption holds it as it is; a fixed box gets the whole caption.
    const Fonts::Fit fit =
        label.autoSize() ? Fonts::Fit{label.font(), false} : fitted(label, text, whole);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clipped.left, clipped.top, clipped.right, clipped.bottom);
    SelectObject(dc, fonts_.get(fit.font));
    SetTextColor(dc, toColorRef(label.foreColor()));
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_NOPREFIX | DT_LEFT | DT_TOP |
                        (fit.wraps ? DT_WORDBREAK : DT_SINGLELINE | DT_END_ELLIPSIS);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &whole, format);
    RestoreDC(dc, saved);
}

Fonts::Fit FormWindow::fitted(const Label& label, const std::wstring& text, const RECT& box) {
    // Asked again at every paint; worked out again only when the label's look changes.
    const SIZE size{box.right - box.left, box.bottom - box.top};
    const auto known = fits_.find(&label);
    if (known != fits_.end() && known->second.font == label.font() && known->second.text == text &&
        known->second.size.cx == size.cx && known->second.size.cy == size.cy) {
        return known->second.fit;
    }
    const Fonts::Fit fit = fonts_.fit(label.font(), text, size);
    fits_[&label] = {label.font(), text, size, fit};
    return fit;
}

void FormWindow::pointerMoved(LPARAM lParam) {
    form_.mouseMoveAt(geometry_.toTwipsX(GET_X_LPARAM(lParam)),
                      geometry_.toTwipsY(GET_Y_LPARAM(lParam)));
}

void FormWindow::clicked(LPARAM lParam) {
    form_.clickAt(geometry_.toTwipsX(GET_X_LPARAM(lParam)),
                  geometry_.toTwipsY(GET_Y_LPARAM(lParam)));
}

} // namespace quill::forms::win32
