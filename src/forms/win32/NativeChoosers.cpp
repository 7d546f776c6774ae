#include "forms/win32/NativeChoosers.h"

#include "platform/win32/Wide.h"

#include <commdlg.h>

namespace quill::forms::win32 {

using platform::win32::widen;

std::optional<std::size_t> trackMenu(HWND owner, POINT at, const std::vector<MenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        if (item.caption.empty()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) |
                           (item.checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(menu, flags, i + 1, widen(item.caption).c_str());
    }
    // A pop-up menu closes on a click elsewhere only when its owner is the foreground window;
    // the bar gives the keyboard back once the menu is gone.
    const HWND previous = GetForegroundWindow();
    SetForegroundWindow(owner);
    const auto command = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (previous != nullptr && previous != owner) {
        SetForegroundWindow(previous);
    }
    if (command == 0) {
        return std::nullopt;
    }
    return command - 1;
}

std::optional<std::filesystem::path> runFileDialog(HWND owner, const FileChoice& choice) {
    std::wstring patterns;
    for (const std::string& pattern : choice.patterns) {
        patterns += (patterns.empty() ? L"" : L";") + widen(pattern);
    }
    // Pairs of a name and its patterns, each ended by a null, the list by another.
    std::wstring filter = widen(choice.filterName) + L" (" + patterns + L")" + L'\0' + patterns +
                          L'\0' + L"All files (*.*)" + L'\0' + L"*.*" + L'\0';
    const bool open = choice.purpose == FileChoice::Purpose::Open;
    std::wstring file = open ? std::wstring() : widen(choice.suggestedName);
    file.resize(32768, L'\0');
    const std::wstring title = widen(choice.title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"opml";
    // links.ryx and rep.ini are found in the current directory, which the dialog must not move.
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    if (!(open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog))) {
        return std::nullopt;
    }
    return std::filesystem::path(file.c_str());
}

} // namespace quill::forms::win32
