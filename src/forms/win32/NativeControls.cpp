#include "forms/win32/NativeControls.h"

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/GuardedCall.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "platform/win32/Wide.h"

#include <algorithm>
#include <commctrl.h>

namespace quill::forms::win32 {

namespace {

using platform::win32::narrow;
using platform::win32::widen;

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The first option button of its container starts a group, so arrow keys and the automatic
// check stay inside the frame.
bool startsGroup(const Control& control, const ControlKinds& kinds) {
    if (kinds.of(control) != ControlKind::OptionButton) {
        return true;
    }
    for (const Control* sibling : control.parent().children()) {
        if (kinds.of(*sibling) == ControlKind::OptionButton) {
            return sibling == &control;
        }
    }
    return true;
}

// A group box draws only its line and caption; the rest of its band would keep whatever the
// screen held, so it gets the colour its parent gives it first.
LRESULT CALLBACK paintFrame(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(hwnd, &paint);
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 reinterpret_cast<HBRUSH>(SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, wParam,
                                                       reinterpret_cast<LPARAM>(hwnd))));
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, paintFrame, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

HWND NativeControls::window(const Control& control) const {
    const auto found = natives_.find(&control);
    return found == natives_.end() ? nullptr : found->second.hwnd;
}

bool NativeControls::inView(const Control& control) const {
    RECT client{}, rect = geometry_.rect(control), common{};
    GetClientRect(host_, &client);
    return IntersectRect(&common, &rect, &client) != FALSE;
}

void NativeControls::showIn(const Form& form, HWND host, HFONT font) {
    host_ = host;
    font_ = font;
    bool created = false;
    for (const Control* control : form.controls()) {
        if (kinds_.native(*control) && window(*control) == nullptr && inView(*control)) {
            sync(*control, create(*control));
            created = true;
        }
    }
    if (created) {
        restack(form);
    }
}

void NativeControls::changed(const Control& control) {
    if (host_ == nullptr) {
        return;
    }
    if (kinds_.native(control)) {
        if (const auto found = natives_.find(&control); found != natives_.end()) {
            sync(control, found->second);
        } else if (inView(control)) {
            sync(control, create(control));
            restack(control.form());
        }
    }
    if (const Container* container = kinds_.asContainer(control)) {
        for (const Control* child : container->children()) {
            changed(*child);
        }
    }
}

NativeControls::Native& NativeControls::create(const Control& control) {
    const wchar_t* windowClass = L"BUTTON";
    std::string caption;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    switch (kinds_.of(control)) {
    case ControlKind::ListBox:
        windowClass = L"LISTBOX";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::TextBox:
        windowClass = L"EDIT";
        style |= WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        if (static_cast<const TextBox&>(control).multiLine()) {
            style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
        }
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CommandButton:
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        caption = static_cast<const CommandButton&>(control).caption();
        break;
    case ControlKind::OptionButton:
        style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
        caption = static_cast<const OptionButton&>(control).caption();
        break;
    default:
        style |= BS_GROUPBOX;
        caption = static_cast<const Frame&>(control).caption();
        break;
    }
    if (startsGroup(control, kinds_)) {
        style |= WS_GROUP;
    }
    const RECT rect = geometry_.rect(control);
    HWND hwnd = CreateWindowExW(exStyle, windowClass, widen(caption).c_str(), style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, host_,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (kinds_.of(control) == ControlKind::Frame) {
        SetWindowSubclass(hwnd, paintFrame, 0, 0);
    }
    // Notifications carry the child's handle; input goes back into the same control.
    controls_[hwnd] = const_cast<Control*>(&control);
    Native& native = natives_[&control];
    native.hwnd = hwnd;
    return native;
}

void NativeControls::restack(const Form& form) {
    // Each goes below the one before: creation order from the top is the tab order.
    for (const Control* control : form.controls()) {
        if (HWND hwnd = window(*control)) {
            SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
}

void NativeControls::sync(const Control& control, Native& native) {
    syncing_ = true;
    HWND hwnd = native.hwnd;
    switch (kinds_.of(control)) {
    case ControlKind::ListBox:
        syncList(control, native);
        break;
    case ControlKind::TextBox:
        if (const std::wstring text = widen(static_cast<const TextBox&>(control).text());
            windowText(hwnd) != text) {
            SetWindowTextW(hwnd, text.c_str());
        }
        break;
    case ControlKind::OptionButton: {
        const WPARAM check =
            static_cast<const OptionButton&>(control).value() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)) != check) {
            SendMessageW(hwnd, BM_SETCHECK, check, 0);
        }
        break;
    }
    default:
        break;
    }
    const RECT rect = geometry_.rect(control);
    RECT now{};
    GetWindowRect(hwnd, &now);
    MapWindowPoints(HWND_DESKTOP, host_, reinterpret_cast<POINT*>(&now), 2);
    if (!EqualRect(&now, &rect)) {
        MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
    if (kinds_.of(control) == ControlKind::Frame) {
        fitFrame(hwnd);
    }
    const bool shown = kinds_.shownWithContainers(control);
    // Its own flag: IsWindowVisible also answers for a hidden form.
    if (((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0) != shown) {
        ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
    syncing_ = false;
}

void NativeControls::syncList(const Control& control, Native& native) {
    const auto& list = static_cast<const ListBox&>(control);
    const auto& items = list.items();
    // Rows that still match stay: adding one entry to a long list costs one row.
    const auto [mismatch, unused] =
        std::mismatch(native.rows.begin(), native.rows.end(), items.begin(), items.end());
    const auto keep = static_cast<std::size_t>(mismatch - native.rows.begin());
    if (keep != native.rows.size() || keep != items.size()) {
        SendMessageW(native.hwnd, WM_SETREDRAW, FALSE, 0);
        for (std::size_t row = native.rows.size(); row > keep; --row) {
            SendMessageW(native.hwnd, LB_DELETESTRING, row - 1, 0);
        }
        native.rows.resize(keep);
        for (std::size_t row = keep; row < items.size(); ++row) {
            SendMessageW(native.hwnd, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(widen(items[row]).c_str()));
            native.rows.push_back(items[row]);
        }
        SendMessageW(native.hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(native.hwnd, nullptr, TRUE);
    }
    const auto selected = static_cast<int>(SendMessageW(native.hwnd, LB_GETCURSEL, 0, 0));
    if (selected != list.listIndex()) {
        SendMessageW(native.hwnd, LB_SETCURSEL, static_cast<WPARAM>(list.listIndex()), 0);
    }
}

void NativeControls::fitFrame(HWND frame) {
    RECT box{};
    GetClientRect(frame, &box);
    HDC dc = GetDC(frame);
    SelectObject(dc, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(frame, dc);
    constexpr int kLine = 3; // the etched line and a pixel of air inside it
    HRGN ring = CreateRectRgn(0, 0, box.right, box.bottom);
    HRGN inside = CreateRectRgn(kLine, metrics.tmHeight, box.right - kLine, box.bottom - kLine);
    CombineRgn(ring, ring, inside, RGN_DIFF);
    DeleteObject(inside);
    SetWindowRgn(frame, ring, TRUE); // the window owns the region from here
}

bool NativeControls::command(HWND child, WORD code) {
    const auto found = controls_.find(child);
    if (found == controls_.end()) {
        return false;
    }
    if (syncing_) {
        return true;
    }
    Control& control = *found->second;
    callGuarded([&] {
        switch (kinds_.of(control)) {
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE) {
                auto& list = static_cast<ListBox&>(control);
                list.setListIndex(static_cast<int>(SendMessageW(child, LB_GETCURSEL, 0, 0)));
            }
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE) {
                static_cast<TextBox&>(control).setText(narrow(windowText(child)));
            }
            break;
        case ControlKind::CommandButton:
            if (code == BN_CLICKED) {
                static_cast<CommandButton&>(control).press();
            }
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) {
                static_cast<OptionButton&>(control).setValue(true);
            }
            break;
        default:
            break;
        }
    });
    return true;
}

} // namespace quill::forms::win32
