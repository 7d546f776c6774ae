#include "forms/Form.h"

#include "forms/Application.h"
#include "forms/Label.h"
#include "forms/Twips.h"

#include <algorithm>

namespace quill::forms {

namespace {

bool contains(const Control& control, float x, float y) {
    return control.visible() && x >= control.left() && x < control.left() + control.width() &&
           y >= control.top() && y < control.top() + control.height();
}

// What lies under a point inside a container: a label, or nothing that takes the pointer.
const Control* hit(const Container& container, float x, float y) {
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const Control& child = **it;
        if (!contains(child, x, y)) {
            continue;
        }
        if (const auto* inner = dynamic_cast<const Container*>(&child)) {
            const Control* found = hit(*inner, x - child.left(), y - child.top());
            return found ? found : &child;
        }
        return &child;
    }
    return nullptr;
}

} // namespace

Form::Form(Application& app, std::string name, std::string caption, float designWidth,
           float designHeight, BorderStyle borderStyle)
    : app_(app), name_(std::move(name)), caption_(std::move(caption)), designWidth_(designWidth),
      designHeight_(designHeight), borderStyle_(borderStyle) {
    peer_ = app_.backend().createFormPeer(*this);
}

Form::~Form() = default;

platform::Hwnd Form::hwnd() const {
    return peer_->hwnd();
}

void Form::seenChanged(bool seen) {
    if (seen == seen_) {
        return;
    }
    seen_ = seen;
    if (onSeenChange) {
        onSeenChange();
    }
}

void Form::setCaption(const std::string& caption) {
    caption_ = caption;
    controlChanged(nullptr);
}

void Form::setBackColor(Color color) {
    backColor_ = color;
    controlChanged(nullptr);
}

platform::Rect Form::windowRect() const {
    platform::Rect rect;
    app_.desktop().GetWindowRect(hwnd(), rect);
    return rect;
}

float Form::left() const {
    return static_cast<float>(windowRect().left) * app_.twipsPerPixelX();
}
float Form::top() const {
    return static_cast<float>(windowRect().top) * app_.twipsPerPixelY();
}
float Form::width() const {
    return static_cast<float>(windowRect().width()) * app_.twipsPerPixelX();
}
float Form::height() const {
    return static_cast<float>(windowRect().height()) * app_.twipsPerPixelY();
}

void Form::place(float left, float top, float width, float height) {
    const float tx = app_.twipsPerPixelX();
    const float ty = app_.twipsPerPixelY();
    app_.desktop().SetWindowPos(hwnd(), platform::HWND_TOP, twipsToPixels(left, tx),
                                twipsToPixels(top, ty), twipsToPixels(width, tx),
                                twipsToPixels(height, ty),
                                platform::SWP_NOZORDER | platform::SWP_NOACTIVATE);
}

void Form::setLeft(float left) {
    place(left, top(), width(), height());
}
void Form::setTop(float top) {
    place(left(), top, width(), height());
}
void Form::setWidth(float width) {
    place(left(), top(), width, height());
}
void Form::setHeight(float height) {
    place(left(), top(), width(), height);
}
void Form::move(float left, float top, float width, float height) {
    place(left, top, width, height);
}

bool Form::visible() const {
    return app_.desktop().IsWindowVisible(hwnd());
}

void Form::setVisible(bool visible) {
    app_.desktop().ShowWindow(hwnd(), visible ? platform::SW_SHOW : platform::SW_HIDE);
}

Label* Form::labelAt(float x, float y) const {
    return dynamic_cast<Label*>(const_cast<Control*>(hit(*this, x, y)));
}

void Form::mouseMoveAt(float x, float y) {
    const Control* target = hit(*this, x, y);
    if (auto* label = dynamic_cast<Label*>(const_cast<Control*>(target))) {
        if (label->onMouseMove) {
            label->onMouseMove();
        }
    } else if (!target && onMouseMove) {
        onMouseMove();
    }
}

void Form::clickAt(float x, float y) {
    if (Label* label = labelAt(x, y); label && label->onClick) {
        label->onClick();
    }
}

void Form::rightClickAt(platform::Point screen) {
    if (onRightClick) {
        onRightClick(screen);
    }
}

void Form::registerControl(Control& control) {
    controls_.push_back(&control);
}

void Form::unregisterControl(Control& control) {
    std::erase(controls_, &control);
}

void Form::controlChanged(const Control* control) {
    if (peer_) {
        peer_->controlChanged(control);
    }
}

void Form::repaintNow(const Control& control) {
    peer_->repaintNow(control);
}

} // namespace quill::forms
