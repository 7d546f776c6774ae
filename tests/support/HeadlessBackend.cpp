#include "support/HeadlessBackend.h"

#include "forms/Control.h"
#include "forms/Form.h"

#include <cmath>

namespace quill::testing {

namespace {

class HeadlessPeer : public forms::FormPeer {
public:
    HeadlessPeer(HeadlessBackend& backend, platform::Hwnd hwnd) : backend_(backend), hwnd_(hwnd) {}
    platform::Hwnd hwnd() const override { return hwnd_; }
    void controlChanged(const forms::Control*) override {}
    void repaintNow(const forms::Control& control) override { ++backend_.repaints[control.name()]; }

private:
    HeadlessBackend& backend_;
    platform::Hwnd hwnd_;
};

} // namespace

std::unique_ptr<forms::FormPeer> HeadlessBackend::createFormPeer(forms::Form& form) {
    const int width = static_cast<int>(std::lround(form.designWidth() / twipsPerPixelX()));
    const int height = static_cast<int>(std::lround(form.designHeight() / twipsPerPixelY()));
    return std::make_unique<HeadlessPeer>(*this, desktop_.createWindow({0, 0, width, height}));
}

forms::TextSize HeadlessBackend::measureText(const forms::Font&, std::string_view utf8) {
    int characters = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    return {characters * kCharWidth, kTextHeight};
}

void HeadlessBackend::pumpEvents() {
    if (onPump) {
        onPump();
    }
    while (!pending_.empty()) {
        auto event = std::move(pending_.front());
        pending_.pop_front();
        event();
    }
    if (app_ != nullptr) {
        app_->runDueTimers();
    }
}

void HeadlessBackend::waitForEvents(int timeoutMilliseconds) {
    ++waits;
    if (pending_.empty()) {
        advance(timeoutMilliseconds);
    }
    pumpEvents();
}

int HeadlessBackend::messageBox(platform::Hwnd owner, const std::string& text,
                                const std::string& caption, std::uint32_t style) {
    boxes.push_back({owner, text, caption, style});
    return onMessageBox ? onMessageBox(boxes.back()) : 1;
}

void HeadlessBackend::advance(double milliseconds) {
    const double end = now_ + milliseconds;
    while (app_ != nullptr) {
        const auto due = app_->scheduler().nextDue();
        if (!due || *due > end) {
            break;
        }
        now_ = std::max(now_, *due);
        app_->runDueTimers();
    }
    now_ = std::max(now_, end);
}

platform::Hwnd HeadlessBackend::showTip(platform::Hwnd owner, platform::Point pointer,
                                        const std::string& text) {
    if (tipWindow == 0) {
        tipWindow = desktop_.createWindow({0, 0, 200, 40});
    }
    desktop_.ShowWindow(tipWindow, platform::SW_SHOW);
    tips.push_back({owner, pointer, text, now_});
    return tipWindow;
}

} // namespace quill::testing

namespace quill::testing {

std::optional<std::size_t> HeadlessBackend::popupMenu(platform::Hwnd owner, platform::Point at,
                                                      const std::vector<forms::MenuItem>& items) {
    menus.push_back({owner, at, items});
    const std::string pick = onPopupMenu ? onPopupMenu(menus.back()) : std::string();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!pick.empty() && items[i].caption == pick) {
            return items[i].enabled ? std::optional<std::size_t>(i) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> HeadlessBackend::chooseFile(platform::Hwnd,
                                                                 const forms::FileChoice& choice) {
    fileChoices.push_back(choice);
    return onChooseFile ? onChooseFile(choice) : std::nullopt;
}

} // namespace quill::testing
