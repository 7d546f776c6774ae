#include "forms/win32/ChangesAfterTimers.h"

#include "forms/win32/FormWindow.h"

namespace quill::forms::win32 {

void ChangesAfterTimers::showAll() {
    std::vector<FormWindow*> forms;
    forms.swap(forms_);
    for (FormWindow* form : forms) {
        form->showChanges();
    }
}

} // namespace quill::forms::win32
