#pragma once

#include <string>
#include <vector>

namespace quill::forms {

class Control;
class Form;

// Anything that holds controls: a form, a picture box, a frame.
class Container {
public:
    virtual ~Container() = default;
    const std::vector<Control*>& children() const { return children_; }
    virtual Form& form() = 0;

private:
    friend class Control;
    std::vector<Control*> children_; // creation order, which is also paint order
};

// A control placed on its container in twips.
class Control {
public:
    Control(Container& parent, std::string name, float left, float top, float width, float height);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Container& parent() const { return parent_; }
    Form& form() const { return parent_.form(); }

    float left() const { return left_; }
    float top() const { return top_; }
    float width() const { return width_; }
    float height() const { return height_; }
    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);
    void setHeight(float height);
    void move(float left, float top, float width, float height);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Paints the control at once, before the thread goes on with something long.
    void refresh();

protected:
    void changed();

private:
    Container& parent_;
    std::string name_;
    float left_, top_, width_, height_;
    bool visible_ = true;
};

} // namespace quill::forms
