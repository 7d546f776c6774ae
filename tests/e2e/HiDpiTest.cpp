#include "BarOnDesktop.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <queue>
#include <string>

namespace quill::testing {
namespace {

using namespace std::chrono_literals;

struct Density {
    int dpi;
    int bar;          // the docked bar's thickness in device pixels
    std::string face; // the desktop's sans-serif, by a fontconfig file of the build's
};

// At 96 dpi a headline's ink, from the top of its capitals to the foot of its descenders, spans
// 10 of the bar's 13 rows. Hinting may move each end of the span by a device pixel, so at any
// density the span is that fraction of the bar within two device pixels.
constexpr double kInkFraction = 10.0 / 13.0;
constexpr int kInkSlack = 2;

// Ink of the bar's captions and headlines, antialiased edges included.
bool isInk(const Pixel& p) {
    return p.r > 110 && p.g > 110 && p.b > 110;
}
bool isCloseBox(const Pixel& p) {
    return p.r > 120 && p.g < 70 && p.b < 70;
}
bool isOptionsBox(const Pixel& p) {
    return p.r > 45 && p.r < 75 && p.g > 55 && p.g < 80 && p.b > 70 && p.b < 100;
}
bool isFieldWhite(const Pixel& p) {
    return p.r > 250 && p.g > 250 && p.b > 250;
}

// A grabbed rectangle of the screen, read by coordinates relative to its top left.
struct Shot {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;

    Shot(ScreenReader& screen, const platform::Rect& rect)
        : width(rect.width()), height(rect.height()), pixels(screen.grab(rect)) {}
    const Pixel& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool any(int left, int right, int top, int bottom, bool (*matches)(const Pixel&)) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (matches(at(x, y))) {
                    return true;
                }
            }
        }
        return false;
    }
};

// Columns [first, last] where a row of the shot matches, searching leftwards from `from`.
std::optional<std::pair<int, int>> runLeftOf(const Shot& shot, int from,
                                             bool (*matches)(const Pixel&)) {
    int last = from;
    while (last >= 0 && !shot.any(last, last + 1, 0, shot.height, matches)) {
        --last;
    }
    if (last < 0) {
        return std::nullopt;
    }
    int first = last;
    while (first > 0 && shot.any(first - 1, first, 0, shot.height, matches)) {
        --first;
    }
    return std::pair{first, last};
}

constexpr std::array<std::pair<int, int>, 4> kNeighbours{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};

// The bounding rectangles of the white areas of the shot at least `minWidth` x `minHeight`.
std::vector<platform::Rect> whiteFields(const Shot& shot, int minWidth, int minHeight) {
    std::vector<bool> seen(shot.pixels.size(), false);
    std::vector<platform::Rect> fields;
    for (int y0 = 0; y0 < shot.height; ++y0) {
        for (int x0 = 0; x0 < shot.width; ++x0) {
            const auto start = static_cast<std::size_t>(y0 * shot.width + x0);
            if (seen[start] || !isFieldWhite(shot.pixels[start])) {
                continue;
            }
            platform::Rect box{x0, y0, x0 + 1, y0 + 1};
            std::queue<std::pair<int, int>> todo;
            todo.push({x0, y0});
            seen[start] = true;
            while (!todo.empty()) {
                const auto [x, y] = todo.front();
                todo.pop();
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
                for (const auto& [dx, dy] : kNeighbours) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= shot.width || ny >= shot.height) {
                        continue;
                    }
                    const auto i = static_cast<std::size_t>(ny * shot.width + nx);
                    if (!seen[i] && isFieldWhite(shot.pixels[i])) {
                        seen[i] = true;
                        todo.push({nx, ny});
                    }
                }
            }
            if (box.width() >= minWidth && box.height() >= minHeight) {
                fields.push_back(box);
            }
        }
    }
    return fields;
}

bool overlap(const platform::Rect& a, const platform::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

void PrintTo(const Density& density, std::ostream* out) {
    *out << density.dpi << " dpi, " << density.face;
}

std::string withoutSpaces(std::string text) {
    std::erase(text, ' ');
    return text;
}

struct HiDpiTest : BarOnDesktopTest, ::testing::WithParamInterface<Density> {
    HiDpiTest() {
        programEnvironment["FONTCONFIG_FILE"] =
            QUILL_BINARY_DIR "/tests/fonts/" + withoutSpaces(GetParam().face) + ".conf";
    }
    int screenDpi() const override { return GetParam().dpi; }
    double scale() const { return GetParam().dpi / 96.0; }
    int scaled(double logical) const { return static_cast<int>(std::lround(logical * scale())); }
};

TEST_P(HiDpiTest, TheBarAndTheOptionsWindowScaleWithTheScreen) {
    const int bar = GetParam().bar;
    const int width = x->screenWidth(), height = x->screenHeight();
    // Every headline has capitals, ascenders and descenders.
    feeds.serve("/type.xml", feed("Glyph jumpy quay", 6));
    auto program = startBar("True", home, {feeds.url("/type.xml")});
    const xcb_window_t dock = waitForDock(*program);
    ASSERT_NE(dock, 0u);

    // The window, its strut and the work area agree on the bar's thickness.
    EXPECT_TRUE(windowComesTo(dock, {0, 0, width, bar}));
    EXPECT_TRUE(workAreaIs({0, bar, width, height})) << "work area top " << screen->workArea().top;
    const auto strut = x->property(dock, x->atom("_NET_WM_STRUT_PARTIAL"));
    ASSERT_TRUE(strut && strut->size() == 12);
    EXPECT_EQ((*strut)[2], static_cast<std::uint32_t>(bar));

    // The close and options boxes, found by their colours at the bar's right end.
    std::optional<std::pair<int, int>> closeBox, optionsBox;
    ASSERT_TRUE(eventually([&] {
        const Shot strip(*screen, {0, 0, width, bar});
        closeBox = runLeftOf(strip, width - 1, isCloseBox);
        optionsBox = closeBox ? runLeftOf(strip, closeBox->first - 1, isOptionsBox) : std::nullopt;
        return optionsBox.has_value();
    })) << "the boxes did not appear";
    EXPECT_EQ(closeBox->second, width - 1);
    EXPECT_EQ(optionsBox->second + 1, closeBox->first);

    // Headlines: their ink spans as much of the bar as at 96 dpi and is not cut at either edge.
    const int lowest = static_cast<int>(std::floor(kInkFraction * bar)) - kInkSlack;
    const int highest = static_cast<int>(std::ceil(kInkFraction * bar)) + kInkSlack;
    int span = 0;
    bool clipped = false;
    // Until the first headline is in view as far as "Glyph jumpy", with its capital, ascenders
    // and descenders: it enters from the right, so an earlier shot may show no descender yet.
    // Not until the ink is as tall as expected: a font's version may make it a pixel shorter.
    eventually(
        [&] {
            const Shot strip(*screen, {0, 0, optionsBox->first, bar});
            int top = bar, bottom = -1, inkLeft = strip.width, inkRight = -1;
            for (int y = 0; y < bar; ++y) {
                for (int column = 0; column < strip.width; ++column) {
                    if (isInk(strip.at(column, y))) {
                        top = std::min(top, y);
                        bottom = y;
                        inkLeft = std::min(inkLeft, column);
                        inkRight = std::max(inkRight, column);
                    }
                }
            }
            clipped = clipped || top == 0 || bottom == bar - 1;
            span = std::max(span, bottom - top + 1);
            return inkRight - inkLeft >= 6 * bar;
        },
        20s);
    EXPECT_GE(span, lowest) << "the headlines' ink is too short for the bar";
    EXPECT_LE(span, highest) << "the headlines' ink is too tall for the bar";
    EXPECT_FALSE(clipped) << "headline ink touches the bar's top or bottom row";

    // Each box shows its caption whole: ink inside it, none in its last column.
    const Shot strip(*screen, {0, 0, width, bar});
    for (const auto& [first, last] : {*optionsBox, *closeBox}) {
        EXPECT_TRUE(strip.any(first, last, 0, bar, isText)) << "no caption in box at " << first;
        EXPECT_FALSE(strip.any(last, last + 1, 0, bar, isText)) << "caption cut at " << last;
    }

    // The options window opens at its design size, 10635 x 3255 twips, and fits the screen.
    warpPointer((optionsBox->first + optionsBox->second) / 2, bar / 2);
    ASSERT_TRUE(xdotool({"click", "1"}));
    xcb_window_t options = 0;
    ASSERT_TRUE(eventually([&] {
        for (const xcb_window_t window : screen->windowsOf(program->pid())) {
            if (window != dock && x->mapped(window)) {
                options = window;
            }
        }
        return options != 0;
    })) << "the options window did not open";
    warpPointer(width / 2, height - 1); // off both windows: a hovered control looks different
    std::optional<platform::Rect> place;
    ASSERT_TRUE(eventually([&] {
        place = x->screenRect(options);
        return place && place->width() == scaled(709) && place->height() == scaled(217);
    })) << "the options window is "
        << (place ? place->width() : 0) << " wide";
    EXPECT_TRUE(place->left >= 0 && place->top >= bar && place->right <= width &&
                place->bottom <= height);

    // Its three entry fields (the list, the address and the interval) are white boxes apart from
    // each other, laid out across the window as at 96 dpi.
    std::vector<platform::Rect> fields;
    ASSERT_TRUE(eventually([&] {
        fields = whiteFields(Shot(*screen, *place), scaled(20), scaled(12));
        return fields.size() == 3;
    })) << fields.size()
        << " entry fields";
    platform::Rect all = fields[0];
    for (std::size_t i = 0; i < fields.size(); ++i) {
        for (std::size_t j = i + 1; j < fields.size(); ++j) {
            EXPECT_FALSE(overlap(fields[i], fields[j])) << "fields " << i << " and " << j;
        }
        all = {std::min(all.left, fields[i].left), std::min(all.top, fields[i].top),
               std::max(all.right, fields[i].right), std::max(all.bottom, fields[i].bottom)};
    }
    EXPECT_GT(all.width(), place->width() * 9 / 10);
    EXPECT_GT(all.height(), place->height() * 3 / 4);
    EXPECT_TRUE(program->running());
}

// Under the two faces most desktops give: their lines differ in height by a sixth.
INSTANTIATE_TEST_SUITE_P(
    Densities, HiDpiTest,
    ::testing::Values(Density{96, 13, "DejaVu Sans"}, Density{144, 20, "DejaVu Sans"},
                      Density{192, 26, "DejaVu Sans"}, Density{96, 13, "Noto Sans"},
                      Density{144, 20, "Noto Sans"}, Density{192, 26, "Noto Sans"}),
    [](const ::testing::TestParamInfo<Density>& param) {
        return "Dpi" + std::to_string(param.param.dpi) + withoutSpaces(param.param.face);
    });

} // namespace
} // namespace quill::testing
