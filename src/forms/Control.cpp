#include "forms/Control.h"

#include "forms/Form.h"

#include <algorithm>

namespace quill::forms {

Control::Control(Container& parent, std::string name, float left, float top, float width,
                 float height)
    : parent_(parent), name_(std::move(name)), left_(left), top_(top), width_(width),
      height_(height) {
    parent_.children_.push_back(this);
    form().registerControl(*this);
}

Control::~Control() {
    std::erase(parent_.children_, this);
    form().unregisterControl(*this);
}

void Control::changed() {
    form().controlChanged(this);
}

void Control::setLeft(float left) {
    if (left != left_) {
        left_ = left;
        changed();
    }
}

void Control::setTop(float top) {
    if (top != top_) {
        top_ = top;
        changed();
    }
}

void Control::setWidth(float width) {
    if (width != width_) {
        width_ = width;
        changed();
    }
}

void Control::setHeight(float height) {
    if (height != height_) {
        height_ = height;
        changed();
    }
}

void Control::move(float left, float top, float width, float height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed();
}

void Control::setVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        changed();
    }
}

void Control::refresh() {
    form().repaintNow(*this);
}

} // namespace quill::forms
