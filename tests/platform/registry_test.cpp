#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "platform/registry.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr const char* kKey = "Software\\VELOR player";
constexpr LONG kMissing = static_cast<LONG>(ERROR_FILE_NOT_FOUND);

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { RegCloseKey(m_key); }

    HKEY Create(const char* path = kKey, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        DWORD ignored = 0;
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key,
                                  disposition ? disposition : &ignored),
                  0);
        return key;
    }
    static LONG Open(const char* path, HKEY* key) {
        return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key);
    }
    LONG SetText(const char* name, const char* text) {
        return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(std::strlen(text) + 1));
    }
    LONG SetNumber(const char* name, DWORD value) {
        return RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof value);
    }
    LONG Query(HKEY key, const char* name, void* data, DWORD* size, DWORD* type = nullptr) {
        return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
    }
    void WriteHive(const std::string& text) {
        std::filesystem::create_directories(
            std::filesystem::path(RegistryFilePath()).parent_path());
        std::ofstream(RegistryFilePath(), std::ios::binary) << text;
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.Path()};
    HKEY m_key = nullptr;
};

} // namespace

TEST_F(RegistryTest, KeysAboveAreMadeAndTextAndNumbersRoundTripWithTheirTypesAndSizes) {
    const char* path = "/media/card/Jpeg \"x\"\\y";
    HKEY key = nullptr;
    EXPECT_EQ(Open("Software", &key), kMissing);
    DWORD disposition = 0;
    m_key = Create(kKey, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(Open("Software", &key), 0);
    RegCloseKey(key);
    ASSERT_EQ(SetText("CapturePath", path), 0);
    ASSERT_EQ(SetNumber("Volume", 0xFFFFFFFFu), 0);
    SetText("Mode", "1");
    SetNumber("Mode", 1); // an overwrite changes the type
    RegCloseKey(m_key);

    ASSERT_EQ(Open(kKey, &m_key), 0);
    DWORD type = 0, size = 0;
    ASSERT_EQ(Query(m_key, "CapturePath", nullptr, &size, &type), 0);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, std::strlen(path) + 1);
    char text[64] = {};
    size = sizeof text;
    ASSERT_EQ(Query(m_key, "CapturePath", text, &size), 0);
    EXPECT_STREQ(text, path);
    // Too small a buffer is told the size needed.
    size = 4;
    EXPECT_EQ(Query(m_key, "CapturePath", text, &size), static_cast<LONG>(ERROR_MORE_DATA));
    EXPECT_EQ(size, std::strlen(path) + 1);

    DWORD number = 0;
    size = sizeof number;
    ASSERT_EQ(Query(m_key, "Volume", &number, &size, &type), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, sizeof(DWORD));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    ASSERT_EQ(Query(m_key, "Mode", nullptr, nullptr, &type), 0);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(Query(m_key, "Language", &number, &size), kMissing);
    RegCloseKey(m_key);
    m_key = Create(kKey, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(RegDeleteValueA(m_key, "Mode"), 0);
    EXPECT_EQ(Query(m_key, "Mode", nullptr, nullptr), kMissing);
}

TEST_F(RegistryTest, ACorruptFileCountsAsEmptyAndDamagedLinesLoseOnlyThemselves) {
    WriteHive(
        "\x01\x02garbage[[[\n[HKEY_CURRENT_USER\\Software\\VELOR player\n\"Volume\"=dword:zz\n" +
        std::string(100, '\0') + "\"Half=\"\n");
    EXPECT_EQ(Open(kKey, &m_key), kMissing);
    m_key = Create();
    ASSERT_EQ(SetNumber("Volume", 7), 0);
    RegCloseKey(m_key);

    WriteHive("[HKEY_CURRENT_USER\\Software\\VELOR player]\n"
              "\"Language\"=\"korean\"\n"
              "\"Volume\"=dword:0000\n"
              "\"Loop\"=dword:00000001\n");
    ASSERT_EQ(Open(kKey, &m_key), 0);
    char text[16] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(Query(m_key, "Language", text, &size), 0);
    EXPECT_STREQ(text, "korean");
    EXPECT_EQ(Query(m_key, "Volume", nullptr, nullptr), kMissing);
    DWORD loop = 0;
    size = sizeof loop;
    EXPECT_EQ(Query(m_key, "Loop", &loop, &size), 0);
    EXPECT_EQ(loop, 1u);
}

TEST_F(RegistryTest, WritesReplaceTheFileAndLeaveNoTemporaryBehind) {
    m_key = Create();
    for (DWORD i = 0; i < 20; ++i)
        ASSERT_EQ(SetNumber("Counter", i), 0);
    const std::string file = RegistryFilePath();
    EXPECT_EQ(file.rfind(m_home.Path(), 0), 0u) << "the hive follows XDG_CONFIG_HOME";
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_NE(text.str().find("[HKEY_CURRENT_USER\\Software\\VELOR player]"), std::string::npos);
    EXPECT_NE(text.str().find("\"Counter\"=dword:00000013"), std::string::npos);
    const auto folder =
        std::filesystem::directory_iterator(std::filesystem::path(file).parent_path());
    EXPECT_EQ(std::distance(begin(folder), end(folder)), 1);
}
