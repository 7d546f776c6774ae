// A pointer device for tests: puts the compositor's pointer at a point of the layout, clicks
// the left or right button there when asked, prints "ready" once the compositor has it all,
// and keeps the device until it is ended. It speaks the wlroots virtual pointer, or KWin's
// fake input where that is what the compositor offers.
//   rest_pointer X Y WIDTH HEIGHT [click|right-click]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fake-input-client.h>
#include <vector>
#include <virtual-pointer-client.h>
#include <wayland-client.h>

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
org_kde_kwin_fake_input* fakeInput = nullptr;

void global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 &&
               version >= 3) {
        fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3));
    }
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kListener{global, globalRemoved};

} // namespace

int main(int argc, char** argv) {
    // BTN_LEFT and BTN_RIGHT of linux/input-event-codes.h.
    std::uint32_t button = 0;
    if (argc == 6 && std::strcmp(argv[5], "click") == 0) {
        button = 0x110;
    } else if (argc == 6 && std::strcmp(argv[5], "right-click") == 0) {
        button = 0x111;
    }
    if (argc != 5 && button == 0) {
        std::fprintf(stderr, "usage: rest_pointer X Y WIDTH HEIGHT [click|right-click]\n");
        return 2;
    }
    const auto number = [&](int i) { return static_cast<std::uint32_t>(std::atoi(argv[i])); };
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "rest_pointer: no Wayland display\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr && fakeInput == nullptr) {
        std::fprintf(stderr, "rest_pointer: the compositor has no virtual pointer\n");
        return 1;
    }
    std::vector<wl_pointer_button_state> states;
    if (button != 0) {
        states = {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED};
    }
    if (manager != nullptr) {
        zwlr_virtual_pointer_v1* pointer =
            zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
        zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, number(1), number(2), number(3),
                                                number(4));
        zwlr_virtual_pointer_v1_frame(pointer);
        for (const auto state : states) {
            zwlr_virtual_pointer_v1_button(pointer, 0, button, state);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
    } else {
        org_kde_kwin_fake_input_authenticate(fakeInput, "rest_pointer", "tests");
        org_kde_kwin_fake_input_pointer_motion_absolute(fakeInput, wl_fixed_from_int(number(1)),
                                                        wl_fixed_from_int(number(2)));
        for (const auto state : states) {
            org_kde_kwin_fake_input_button(fakeInput, button, state);
        }
    }
    if (wl_display_roundtrip(display) < 0) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Clients lose the pointer when its last device goes.
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
