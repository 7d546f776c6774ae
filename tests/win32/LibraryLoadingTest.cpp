#include "platform/XmlElements.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

// A folder searched before System32, as the program's own is, holding a planted xmllite.dll.
TEST(LibraryLoading, XmlLiteComesFromSystem32Only) {
    const quill::testing::TempFolder planted;
    planted.write("xmllite.dll", "not the system's reader");
    SetDllDirectoryW(planted.path().c_str());
    const bool read = quill::platform::readXmlElements("<opml/>").has_value();
    SetDllDirectoryW(nullptr);
    EXPECT_TRUE(read);
}
