#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/registry.h"
#include "tests/support/temp_folder.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.Path()};

    HKEY CreateKey(const char* path) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, &disposition),
                  static_cast<LONG>(ERROR_SUCCESS));
        return key;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

LONG SetText(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
}

LONG SetNumber(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value);
}

} // namespace

TEST_F(RegistryTest, TextAndNumberRoundTripWithTheirTypes) {
    HKEY key = CreateKey("Software\\VELOR player");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(SetText(key, "CapturePath", "/media/card/Jpeg \"x\"\\y"), 0);
    ASSERT_EQ(SetNumber(key, "Volume", 80), 0);
    ASSERT_EQ(SetNumber(key, "Big", 0xFFFFFFFFu), 0);
    RegCloseKey(key);

    HKEY reopened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VELOR player", 0, KEY_READ, &reopened), 0);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(reopened, "CapturePath", nullptr, &type, nullptr, &size), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, std::strlen("/media/card/Jpeg \"x\"\\y") + 1);
    char text[64] = {};
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(reopened, "CapturePath", nullptr, &type, reinterpret_cast<BYTE*>(text), &size), 0);
    EXPECT_STREQ(text, "/media/card/Jpeg \"x\"\\y");

    DWORD number = 0;
    size = sizeof number;
    ASSERT_EQ(RegQueryValueExA(reopened, "Volume", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, sizeof(DWORD));
    EXPECT_EQ(number, 80u);
    size = sizeof number;
    ASSERT_EQ(RegQueryValueExA(reopened, "Big", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size), 0);
    EXPECT_EQ(number, 0xFFFFFFFFu);
    RegCloseKey(reopened);
}

TEST_F(RegistryTest, MissingKeysAndValuesAreErrors) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    HKEY created = CreateKey("Software\\VELOR player");
    DWORD type = 0, size = 4;
    DWORD value = 0;
    EXPECT_EQ(RegQueryValueExA(created, "Language", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    RegCloseKey(created);
}

TEST_F(RegistryTest, CreateMakesIntermediateKeysAndReportsExisting) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition), 0);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    // An empty key exists on its own, and so do the keys above it.
    for (const char* path : {"Software", "Software\\A", "Software\\A\\B", "Software\\A\\B\\C"}) {
        HKEY opened = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &opened), 0) << path;
        RegCloseKey(opened);
    }
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition), 0);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
}

TEST_F(RegistryTest, SmallBufferReportsTheSizeNeeded) {
    HKEY key = CreateKey("Software\\VELOR player");
    SetText(key, "Language", "simplifiedChinese");
    char small[4] = {};
    DWORD size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Language", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(size, std::strlen("simplifiedChinese") + 1);
    RegCloseKey(key);
}

TEST_F(RegistryTest, OverwriteChangesTypeAndDeleteKeepsTheKey) {
    HKEY key = CreateKey("Software\\VELOR player");
    SetText(key, "Mode", "1");
    SetNumber(key, "Mode", 1);
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(key, "Mode", nullptr, &type, nullptr, nullptr), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(RegDeleteValueA(key, "Mode"), 0);
    EXPECT_EQ(RegQueryValueExA(key, "Mode", nullptr, &type, nullptr, nullptr),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    RegCloseKey(key);
    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VELOR player", 0, KEY_READ, &opened), 0);
    RegCloseKey(opened);
}

TEST_F(RegistryTest, CorruptFileCountsAsEmptyAndCanBeWrittenAgain) {
    std::string file = RegistryFilePath();
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    {
        std::ofstream out(file, std::ios::binary);
        out << "\x01\x02garbage[[[\n[HKEY_CURRENT_USER\\Software\\VELOR player\n\"Volume\"=dword:zz\n"
            << std::string(100, '\0') << "\"Half=\"\n";
    }
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VELOR player", 0, KEY_READ, &key),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    key = CreateKey("Software\\VELOR player");
    ASSERT_EQ(SetNumber(key, "Volume", 7), 0);
    DWORD value = 0, size = sizeof value;
    ASSERT_EQ(RegQueryValueExA(key, "Volume", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), 0);
    EXPECT_EQ(value, 7u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DamagedLinesLoseOnlyThemselves) {
    std::string file = RegistryFilePath();
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    {
        std::ofstream out(file, std::ios::binary);
        out << "[HKEY_CURRENT_USER\\Software\\VELOR player]\n"
               "\"Language\"=\"korean\"\n"
               "\"Volume\"=dword:0000\n"
               "\"Loop\"=dword:00000001\n";
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VELOR player", 0, KEY_READ, &key), 0);
    char text[16] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegQueryValueExA(key, "Language", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size), 0);
    EXPECT_STREQ(text, "korean");
    EXPECT_EQ(RegQueryValueExA(key, "Volume", nullptr, nullptr, nullptr, nullptr),
              static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    DWORD loop = 0;
    size = sizeof loop;
    EXPECT_EQ(RegQueryValueExA(key, "Loop", nullptr, nullptr, reinterpret_cast<BYTE*>(&loop), &size), 0);
    EXPECT_EQ(loop, 1u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, WritesReplaceTheFileAndLeaveNoTemporaryBehind) {
    HKEY key = CreateKey("Software\\VELOR player");
    for (DWORD i = 0; i < 20; ++i)
        ASSERT_EQ(SetNumber(key, "Counter", i), 0);
    RegCloseKey(key);
    std::string file = RegistryFilePath();
    EXPECT_EQ(file.rfind(m_home.Path(), 0), 0u) << "the hive follows XDG_CONFIG_HOME";
    std::string text = ReadFile(file);
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\VELOR player]"), std::string::npos);
    EXPECT_NE(text.find("\"Counter\"=dword:00000013"), std::string::npos);
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(file).parent_path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}
