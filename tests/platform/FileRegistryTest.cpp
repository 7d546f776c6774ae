#include "platform/posix/FileRegistry.h"

#include "support/TempFolder.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace quill::testing {
namespace {

using platform::FileRegistry;
using platform::HKEY_CURRENT_USER;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

const std::string kKey = "Software\\AppBar\\1.4\\VB";

// Sets an environment variable for the test's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileRegistryTest, LivesInTheXdgConfigFolderElseUnderHome) {
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/xdg/config");
        ScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(FileRegistry().fileFor(HKEY_CURRENT_USER, kKey),
                  fs::path("/xdg/config/quillmark/Software_AppBar_1.4_VB.bin"));
    }
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/dir"}) {
        ScopedEnv config("XDG_CONFIG_HOME", unusable);
        ScopedEnv home("HOME", "/home/someone");
        EXPECT_EQ(FileRegistry().fileFor(HKEY_CURRENT_USER, kKey),
                  fs::path("/home/someone/.config/quillmark/Software_AppBar_1.4_VB.bin"));
    }
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    FileRegistry nowhere;
    EXPECT_EQ(nowhere.fileFor(HKEY_CURRENT_USER, kKey), std::nullopt);
    EXPECT_EQ(nowhere.readDefaultValue(HKEY_CURRENT_USER, kKey), std::nullopt);
    EXPECT_FALSE(nowhere.writeDefaultValue(HKEY_CURRENT_USER, kKey, Bytes{1}));
}

TEST(FileRegistryTest, KeysAndRootsNeverShareAFileNorLeaveTheFolder) {
    FileRegistry registry("/base");
    EXPECT_EQ(registry.fileFor(0x80000002u, kKey),
              fs::path("/base/@80000002@Software_AppBar_1.4_VB.bin"));
    EXPECT_NE(registry.fileFor(HKEY_CURRENT_USER, "a\\b"),
              registry.fileFor(HKEY_CURRENT_USER, "a_b"));
    EXPECT_EQ(registry.fileFor(HKEY_CURRENT_USER, "../x/y z"),
              fs::path("/base/..%2Fx%2Fy%20z.bin"));
    EXPECT_EQ(registry.fileFor(HKEY_CURRENT_USER, "..")->parent_path(), fs::path("/base"));
}

TEST(FileRegistryTest, WritesReadBackAndReplaceWholeFiles) {
    TempFolder temp;
    FileRegistry registry(temp.path() / "new" / "quillmark");
    EXPECT_EQ(registry.readDefaultValue(HKEY_CURRENT_USER, kKey), std::nullopt);

    const Bytes first(90, 0xAB);
    ASSERT_TRUE(registry.writeDefaultValue(HKEY_CURRENT_USER, kKey, first));
    EXPECT_EQ(registry.readDefaultValue(HKEY_CURRENT_USER, kKey), first);

    const Bytes second{0, 1, 2, 0xFF};
    ASSERT_TRUE(registry.writeDefaultValue(HKEY_CURRENT_USER, kKey, second));
    EXPECT_EQ(registry.readDefaultValue(HKEY_CURRENT_USER, kKey), second);
    ASSERT_TRUE(registry.writeDefaultValue(HKEY_CURRENT_USER, kKey, Bytes{}));
    EXPECT_EQ(registry.readDefaultValue(HKEY_CURRENT_USER, kKey), Bytes{});
    // Another root is another value.
    EXPECT_EQ(registry.readDefaultValue(0x80000002u, kKey), std::nullopt);
    EXPECT_EQ(namesIn(temp.path() / "new" / "quillmark"),
              std::vector<std::string>{"Software_AppBar_1.4_VB.bin"});
}

TEST(FileRegistryTest, AFailedWriteLeavesTheOldValueAndNoLitter) {
    TempFolder temp;
    FileRegistry registry(temp.path());
    ASSERT_TRUE(registry.writeDefaultValue(HKEY_CURRENT_USER, "Old", Bytes{7}));
    // A folder where the value's file would go cannot be replaced by a file.
    fs::create_directory(temp.path() / "Blocked.bin");
    EXPECT_FALSE(registry.writeDefaultValue(HKEY_CURRENT_USER, "Blocked", Bytes{1, 2}));
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string>{"Blocked.bin", "Old.bin"}));
    EXPECT_EQ(registry.readDefaultValue(HKEY_CURRENT_USER, "Old"), Bytes{7});

    // A folder that cannot be created.
    FileRegistry underAFile(temp.path() / "Old.bin" / "sub");
    EXPECT_FALSE(underAFile.writeDefaultValue(HKEY_CURRENT_USER, "X", Bytes{1}));
    EXPECT_EQ(registry.readDefaultValue(HKEY_CURRENT_USER, "Old"), Bytes{7});
}

} // namespace
} // namespace quill::testing
