#include "AppBarFixture.h"
#include "appbar/SettingsBlock.h"

namespace quill::testing {
namespace {

using appbar::SettingsBlock;
using Bytes = std::vector<std::uint8_t>;

const FakeRegistry::Key kDefaultKey{platform::HKEY_CURRENT_USER, "Software\\AppBar\\1.4\\VB"};

// Little-endian bytes of the fields in the order the registry value stores them.
struct LittleEndian {
    Bytes bytes;
    LittleEndian& i32(std::int64_t v) { return put(v, 4); }
    LittleEndian& i16(std::int64_t v) { return put(v, 2); }
    LittleEndian& put(std::int64_t v, int size) {
        for (int i = 0; i < size; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i)));
        }
        return *this;
    }
};

using SettingsTest = AppBarTest;

TEST_F(SettingsTest, DefaultsAreStoredAsNinetyLittleEndianBytes) {
    ASSERT_TRUE(bar.SaveSettings());
    ASSERT_EQ(registry.values.count(kDefaultKey), 1u);
    const Bytes expected = LittleEndian{}
                               .i32(90)  // BlockSize
                               .i32(5)   // Edge
                               .i32(31)  // AllowedEdges
                               .i16(0)   // AutoHide
                               .i16(-1)  // AlwaysOnTop
                               .i16(-1)  // SlideEffect
                               .i16(0)   // reserved
                               .i32(400) // SlideTime
                               .i32(1)
                               .i32(1)
                               .i32(32)
                               .i32(32)
                               .i32(0)
                               .i32(0)
                               .i32(0)
                               .i32(0)
                               .i32(0)
                               .i32(0)
                               .i32(1280) // FloatMaxWidth: the screen
                               .i32(1024)
                               .i32(0)
                               .i32(0)
                               .i32(640) // DockedMaxWidth: half the screen
                               .i32(512)
                               .i16(2) // low half of TaskbarButton
                               .bytes;
    EXPECT_EQ(registry.values[kDefaultKey], expected);
}

TEST_F(SettingsTest, EveryFieldHasItsOwnOffset) {
    SettingsBlock block;
    std::int32_t next = 0x01020304;
    for (std::int32_t* field : {&block.BlockSize,      &block.Edge,
                                &block.AllowedEdges,   &block.SlideTime,
                                &block.HorzSizeInc,    &block.VertSizeInc,
                                &block.DockedWidth,    &block.DockedHeight,
                                &block.FloatLeft,      &block.FloatTop,
                                &block.FloatRight,     &block.FloatBottom,
                                &block.FloatMinWidth,  &block.FloatMinHeight,
                                &block.FloatMaxWidth,  &block.FloatMaxHeight,
                                &block.DockedMinWidth, &block.DockedMinHeight,
                                &block.DockedMaxWidth, &block.DockedMaxHeight,
                                &block.TaskbarButton}) {
        *field = next;
        next += 0x01010101;
    }
    block.AutoHide = 0x1112;
    block.AlwaysOnTop = 0x1314;
    block.SlideEffect = 0x1516;
    block.Reserved = 0x1718;

    const Bytes bytes = appbar::storeSettings(block);
    ASSERT_EQ(bytes.size(), 90u);
    const auto at32 = [&](std::size_t offset) {
        return static_cast<std::int32_t>(bytes[offset] | bytes[offset + 1] << 8 |
                                         bytes[offset + 2] << 16 |
                                         static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
    };
    const auto at16 = [&](std::size_t offset) { return bytes[offset] | bytes[offset + 1] << 8; };
    EXPECT_EQ(at32(0), block.BlockSize);
    EXPECT_EQ(at32(4), block.Edge);
    EXPECT_EQ(at32(8), block.AllowedEdges);
    EXPECT_EQ(at16(12), 0x1112);
    EXPECT_EQ(at16(14), 0x1314);
    EXPECT_EQ(at16(16), 0x1516);
    EXPECT_EQ(at16(18), 0x1718);
    EXPECT_EQ(at32(20), block.SlideTime);
    EXPECT_EQ(at32(36), block.DockedHeight);
    EXPECT_EQ(at32(40), block.FloatLeft);
    EXPECT_EQ(at32(52), block.FloatBottom);
    EXPECT_EQ(at32(56), block.FloatMinWidth);
    EXPECT_EQ(at32(68), block.FloatMaxHeight);
    EXPECT_EQ(at32(72), block.DockedMinWidth);
    EXPECT_EQ(at32(84), block.DockedMaxHeight);
    EXPECT_EQ(at16(88), block.TaskbarButton & 0xFFFF);
}

TEST_F(SettingsTest, RoundTripKeepsEveryFieldButTheUpperHalfOfTaskbarButton) {
    bar.setAllowedEdges(12);
    bar.setAutoHide(true);
    bar.setAlwaysOnTop(false);
    bar.setSlideEffect(false);
    bar.setHorzSizeInc(10);
    bar.setVertSizeInc(0);
    bar.setDockedWidth(-7);
    bar.setDockedHeight(13);
    bar.setFloatLeft(100);
    bar.setFloatTop(-200);
    bar.setFloatRight(300);
    bar.setFloatBottom(400);
    bar.setFloatMinWidth(5);
    bar.setFloatMinHeight(6);
    bar.setFloatMaxWidth(700);
    bar.setFloatMaxHeight(800);
    bar.setDockedMinWidth(9);
    bar.setDockedMinHeight(11);
    bar.setDockedMaxWidth(0x7FFFFFFF);
    bar.setDockedMaxHeight(-2147483647 - 1);
    ASSERT_TRUE(bar.SaveSettings());

    appbar::TAppBar loaded(desktop, registry);
    ASSERT_TRUE(loaded.LoadSettings());
    EXPECT_EQ(loaded.AllowedEdges(), 12);
    EXPECT_TRUE(loaded.AutoHide());
    EXPECT_FALSE(loaded.AlwaysOnTop());
    EXPECT_FALSE(loaded.SlideEffect());
    EXPECT_EQ(loaded.SlideTime(), 400);
    EXPECT_EQ(loaded.HorzSizeInc(), 10);
    EXPECT_EQ(loaded.VertSizeInc(), 0);
    EXPECT_EQ(loaded.DockedWidth(), -7);
    EXPECT_EQ(loaded.DockedHeight(), 13);
    EXPECT_EQ(loaded.FloatLeft(), 100);
    EXPECT_EQ(loaded.FloatTop(), -200);
    EXPECT_EQ(loaded.FloatRight(), 300);
    EXPECT_EQ(loaded.FloatBottom(), 400);
    EXPECT_EQ(loaded.FloatMinWidth(), 5);
    EXPECT_EQ(loaded.FloatMinHeight(), 6);
    EXPECT_EQ(loaded.FloatMaxWidth(), 700);
    EXPECT_EQ(loaded.FloatMaxHeight(), 800);
    EXPECT_EQ(loaded.DockedMinWidth(), 9);
    EXPECT_EQ(loaded.DockedMinHeight(), 11);
    EXPECT_EQ(loaded.DockedMaxWidth(), 0x7FFFFFFF);
    EXPECT_EQ(loaded.DockedMaxHeight(), -2147483647 - 1);
    EXPECT_EQ(loaded.Edge(), 5);
}

TEST_F(SettingsTest, TaskbarButtonKeepsOnlyItsLowHalf) {
    for (const auto& [stored, loadedBack] :
         std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {-1, 65535}, {0x12345, 0x2345}}) {
        bar.setTaskbarButton(stored);
        ASSERT_TRUE(bar.SaveSettings());
        appbar::TAppBar loaded(desktop, registry);
        loaded.setTaskbarButton(77);
        ASSERT_TRUE(loaded.LoadSettings());
        EXPECT_EQ(loaded.TaskbarButton(), loadedBack) << stored;
    }
}

TEST_F(SettingsTest, AValueOfAnotherLengthIsRefusedAndChangesNothing) {
    bar.setDockedHeight(13);
    bar.setTaskbarButton(1);
    for (const std::size_t size : {0u, 1u, 89u, 91u, 92u}) {
        registry.values[kDefaultKey] = Bytes(size, 0x00);
        EXPECT_FALSE(bar.LoadSettings()) << size;
        EXPECT_EQ(bar.DockedHeight(), 13);
        EXPECT_EQ(bar.TaskbarButton(), 1);
        EXPECT_TRUE(bar.AlwaysOnTop());
    }
    registry.values.clear();
    EXPECT_FALSE(bar.LoadSettings());
    EXPECT_EQ(bar.DockedHeight(), 13);
}

TEST_F(SettingsTest, TheGapIsKeptAsLoadedAndTheBlockSizeIsNotChecked) {
    Bytes stored = appbar::storeSettings(SettingsBlock{});
    stored[0] = 7; // BlockSize
    stored[18] = 0xEF;
    stored[19] = 0xBE;
    registry.values[kDefaultKey] = stored;
    ASSERT_TRUE(bar.LoadSettings());
    registry.values.clear();
    ASSERT_TRUE(bar.SaveSettings());
    EXPECT_EQ(registry.values[kDefaultKey], stored);
}

TEST_F(SettingsTest, RootAndKeyChooseWhereTheValueLives) {
    bar.setRegistryRoot(0x80000002u);
    bar.setRegistryKey("Software\\Elsewhere");
    ASSERT_TRUE(bar.SaveSettings());
    EXPECT_EQ(registry.values.count({0x80000002u, "Software\\Elsewhere"}), 1u);
    EXPECT_EQ(registry.values.count(kDefaultKey), 0u);

    registry.failWrites = true;
    EXPECT_FALSE(bar.SaveSettings());
}

TEST_F(SettingsTest, LoadingDoesNotMoveTheBarUntilItIsDockedAgain) {
    dockOnTop();
    const Rect docked = windowRect();
    appbar::SettingsBlock block;
    block.Edge = 3;
    block.DockedHeight = 20;
    registry.values[kDefaultKey] = appbar::storeSettings(block);

    ASSERT_TRUE(bar.LoadSettings());
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(windowRect(), docked);
    EXPECT_EQ(bar.Edge(), 3);

    bar.UpdateBar();
    EXPECT_EQ(windowRect(), (Rect{0, 1004, 1280, 1024}));
}

TEST_F(SettingsTest, ConstructionTakesTheScreenSizeForTheMaxima) {
    desktop.screenWidth = 1001;
    desktop.screenHeight = 777;
    appbar::TAppBar other(desktop, registry);
    EXPECT_EQ(other.FloatMaxWidth(), 1001);
    EXPECT_EQ(other.FloatMaxHeight(), 777);
    EXPECT_EQ(other.DockedMaxWidth(), 500);
    EXPECT_EQ(other.DockedMaxHeight(), 388);
    EXPECT_EQ(other.DragEdge(), 4);
    EXPECT_EQ(other.RegistryRoot(), platform::HKEY_CURRENT_USER);
    EXPECT_EQ(other.RegistryKey(), "Software\\AppBar\\1.4\\VB");
    EXPECT_EQ(other.AttachedForm(), nullptr);
}

} // namespace
} // namespace quill::testing
