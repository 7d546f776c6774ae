#include "forms/ChangesAfterTimers.h"

namespace quill::forms {

void ChangesAfterTimers::showAll() {
    std::vector<ChangedWindow*> windows;
    windows.swap(windows_);
    for (ChangedWindow* window : windows) {
        window->showChanges();
    }
}

} // namespace quill::forms
