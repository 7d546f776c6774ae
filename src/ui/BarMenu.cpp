// Form1's menu under the right button: each entry does what the bar's boxes and timers do.

#include "ticker/Form1.h"

namespace quill::ticker {

std::vector<Form1::MenuEntry> Form1::menuEntries() const {
    return {
        {{"Reload now", canReload(), false}, &Form1::mnuReload_Click},
        {{"Pause scrolling", true, ScrollPaused}, &Form1::mnuPause_Click},
        {{}, nullptr},
        {{"Options…"}, &Form1::mnuOptions_Click},
        {{"Import feeds (OPML)…"}, &Form1::mnuImport_Click},
        {{"Export feeds (OPML)…"}, &Form1::mnuExport_Click},
        {{}, nullptr},
        {{"Quit"}, &Form1::mnuQuit_Click},
    };
}

void Form1::Form_RightClick(platform::Point at) {
    const std::vector<MenuEntry> entries = menuEntries();
    std::vector<forms::MenuItem> items;
    for (const MenuEntry& entry : entries) {
        items.push_back(entry.item);
    }
    const auto chosen = services_.app.backend().popupMenu(hwnd(), at, items);
    if (chosen && *chosen < entries.size() && entries[*chosen].choose != nullptr) {
        (this->*entries[*chosen].choose)();
    }
}

void Form1::mnuReload_Click() {
    // A run may have started while the menu was open.
    if (canReload()) {
        reload();
    }
}

void Form1::mnuPause_Click() {
    ScrollPaused = !ScrollPaused;
    restartMover();
}

void Form1::mnuOptions_Click() {
    Label13_Click();
}

void Form1::mnuQuit_Click() {
    Label12_Click();
}

} // namespace quill::ticker
