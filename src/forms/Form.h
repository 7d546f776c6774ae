#pragma once

#include "forms/Control.h"
#include "forms/Style.h"
#include "platform/Desktop.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quill::forms {

class Application;
class FormPeer;
class Label;

// The frame a form's window is made with. A form the app bar docks has none of its own: the
// bar adds a title bar only while it floats.
enum class BorderStyle { None, FixedSingle };

// A top-level window. Its position and size live in the window system and are read from it,
// so whatever moves the window (the app bar, the shell) is what the form reports.
class Form : public Container {
public:
    Form(Application& app, std::string name, std::string caption, float designWidth,
         float designHeight, BorderStyle borderStyle = BorderStyle::FixedSingle);
    ~Form() override;

    Form& form() override { return *this; }
    Application& app() const { return app_; }
    const std::string& name() const { return name_; }
    platform::Hwnd hwnd() const;
    float designWidth() const { return designWidth_; }
    float designHeight() const { return designHeight_; }
    BorderStyle borderStyle() const { return borderStyle_; }

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    Color backColor() const { return backColor_; }
    void setBackColor(Color color);

    // Outer position and size in twips.
    float left() const;
    float top() const;
    float width() const;
    float height() const;
    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);
    void setHeight(float height);
    void move(float left, float top, float width, float height);

    bool visible() const;
    void setVisible(bool visible);

    // Every control of the form, nested ones included, in creation order.
    const std::vector<Control*>& controls() const { return controls_; }

    // Form_MouseMove: the pointer moved over the form's own surface.
    std::function<void()> onMouseMove;
    // The right button was clicked anywhere on the form, at this screen point (pixels).
    std::function<void(platform::Point)> onRightClick;

    // Whether anyone can see the form's window: not while it is covered whole, or the screen is
    // blanked or locked, or the compositor does not show it. Told by the backend.
    bool seen() const { return seen_; }
    void seenChanged(bool seen);
    std::function<void()> onSeenChange;

    // Input from the backend, in twips of the client area.
    void mouseMoveAt(float x, float y);
    void clickAt(float x, float y);
    void rightClickAt(platform::Point screen);
    // The label under a point of the client area, if any.
    Label* labelAt(float x, float y) const;

    // For controls and backends.
    void registerControl(Control& control);
    void unregisterControl(Control& control);
    void controlChanged(const Control* control);
    void repaintNow(const Control& control);
    FormPeer& peer() { return *peer_; }

private:
    platform::Rect windowRect() const;
    void place(float left, float top, float width, float height);

    Application& app_;
    std::string name_;
    std::string caption_;
    float designWidth_, designHeight_;
    BorderStyle borderStyle_;
    Color backColor_ = kButtonFace;
    bool seen_ = true;
    std::vector<Control*> controls_;
    std::unique_ptr<FormPeer> peer_;
};

} // namespace quill::forms
