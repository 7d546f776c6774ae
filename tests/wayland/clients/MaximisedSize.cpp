// Prints the size the compositor offers a maximised window ("WIDTH HEIGHT"): the screen less
// the strips that panels reserve. The window is never drawn.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <wayland-client.h>
#include <xdg-shell-client.h>

namespace {

wl_compositor* compositor = nullptr;
xdg_wm_base* shell = nullptr;
std::int32_t offeredWidth = 0, offeredHeight = 0;
bool configured = false;

void global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        shell =
            static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
    }
}
constexpr wl_registry_listener kRegistry{global, [](void*, wl_registry*, std::uint32_t) {}};
constexpr xdg_wm_base_listener kShell{
    [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }};
constexpr xdg_toplevel_listener kToplevel{
    [](void*, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
        offeredWidth = width;
        offeredHeight = height;
    },
    [](void*, xdg_toplevel*) {}, nullptr, nullptr};
constexpr xdg_surface_listener kSurface{[](void*, xdg_surface* surface, std::uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    configured = true;
}};

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, nullptr);
    wl_display_roundtrip(display);
    if (compositor == nullptr || shell == nullptr) {
        return 1;
    }
    xdg_wm_base_add_listener(shell, &kShell, nullptr);
    wl_surface* surface = wl_compositor_create_surface(compositor);
    xdg_surface* role = xdg_wm_base_get_xdg_surface(shell, surface);
    xdg_surface_add_listener(role, &kSurface, nullptr);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(role);
    xdg_toplevel_add_listener(toplevel, &kToplevel, nullptr);
    xdg_toplevel_set_maximized(toplevel);
    wl_surface_commit(surface);
    // A size of 0 leaves it to the client; a compositor may first answer so, then maximise.
    for (int answers = 0; answers < 3 && offeredWidth == 0; ++answers) {
        configured = false;
        while (!configured && wl_display_dispatch(display) >= 0) {
        }
        wl_surface_commit(surface);
    }
    std::printf("%d %d\n", offeredWidth, offeredHeight);
    return 0;
}
