#include "platform/x11/AppBarShell.h"

namespace quill::platform::x11 {

namespace {

class NullAppBarShell final : public AppBarShell {
public:
    NullAppBarShell(int width, int height) : screen_{0, 0, width, height} {}

    std::uintptr_t message(std::uint32_t message, AppBarData&) override {
        switch (message) {
        case ABM_NEW:
        case ABM_REMOVE:
        case ABM_QUERYPOS:
        case ABM_SETPOS:
        case ABM_ACTIVATE:
        case ABM_SETAUTOHIDEBAR:
        case ABM_WINDOWPOSCHANGED:
            return 1;
        default:
            return 0;
        }
    }
    void setZOrder(Hwnd, Hwnd) override {}
    void setSkipTaskbar(Hwnd, bool) override {}
    Rect workArea() override { return screen_; }
    int fileDescriptor() const override { return -1; }
    void processEvents() override {}

private:
    Rect screen_;
};

} // namespace

std::unique_ptr<AppBarShell> makeNullAppBarShell(int screenWidth, int screenHeight) {
    return std::make_unique<NullAppBarShell>(screenWidth, screenHeight);
}

} // namespace quill::platform::x11
