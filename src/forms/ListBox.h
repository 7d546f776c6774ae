#pragma once

#include "forms/Control.h"

#include <string>
#include <vector>

namespace quill::forms {

// A list of text lines with 16-bit signed indexes, as classic list controls have.
class ListBox : public Control {
public:
    static constexpr int kMaxEntries = 32767;

    ListBox(Container& parent, std::string name, float left = 0, float top = 0, float width = 0,
            float height = 0)
        : Control(parent, std::move(name), left, top, width, height) {}

    // False when the list is full; the entry is then not added.
    bool addItem(const std::string& item);
    // False when there is no such entry.
    bool removeItem(int index);
    void clear();
    // The entry at index, or "" beyond either end.
    std::string list(int index) const;
    int listCount() const { return static_cast<int>(items_.size()); }
    const std::vector<std::string>& items() const { return items_; }

    // The selected row, -1 for none.
    int listIndex() const { return listIndex_; }
    void setListIndex(int index);

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

} // namespace quill::forms
