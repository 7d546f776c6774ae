#include "forms/ListBox.h"

namespace quill::forms {

bool ListBox::addItem(const std::string& item) {
    if (listCount() >= kMaxEntries) {
        return false;
    }
    items_.push_back(item);
    changed();
    return true;
}

bool ListBox::removeItem(int index) {
    if (index < 0 || index >= listCount()) {
        return false;
    }
    items_.erase(items_.begin() + index);
    if (listIndex_ >= listCount()) {
        listIndex_ = -1;
    }
    changed();
    return true;
}

void ListBox::clear() {
    items_.clear();
    listIndex_ = -1;
    changed();
}

std::string ListBox::list(int index) const {
    if (index < 0 || index >= listCount()) {
        return {};
    }
    return items_[static_cast<std::size_t>(index)];
}

void ListBox::setListIndex(int index) {
    listIndex_ = (index >= 0 && index < listCount()) ? index : -1;
    changed();
}

} // namespace quill::forms
