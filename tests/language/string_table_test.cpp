#include <gtest/gtest.h>

#include "language/string_table.h"
#include "tests/language/language_folder.h"

namespace {

class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override { ReleaseStringTable(); }
    TLanguageFolder m_folder;
};

std::string TextOf(const std::string& key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

} // namespace

TEST_F(StringTableTest, LookupsAreExactAndTheFirstOfTwoKeysWins) {
    m_folder.Write("english", "  <!-- button.ok -->\n"
                              "  <button.ok text=\"OK\" value=\"1\"/>\n"
                              "  <button.ok text=\"Later\" value=\"2\"/>\n"
                              "  <label.plain text=\"  two  spaces  \"/>\n"
                              "  <message.utf8 text=\"저장 完了\" value=\"v\"/>\n");
    ASSERT_TRUE(LoadStringTable("english"));

    std::string text, value;
    EXPECT_TRUE(GetString("button.ok", &text, &value));
    EXPECT_EQ(text + "|" + value, "OK|1");
    // No "value" attribute: the text comes with an empty value.
    EXPECT_TRUE(GetString("label.plain", &text, &value));
    EXPECT_EQ(text + "|" + value, "  two  spaces  |");
    EXPECT_EQ(TextOf("message.utf8"), "저장 完了");
    // The comment is an entry of its own that no key finds.
    EXPECT_EQ(Strings().size(), 4u);
    for (const char* near : {"button.OK", "Button.ok", "button.ok ", " button.ok"}) {
        text = value = "stale";
        EXPECT_FALSE(GetString(near, &text, &value)) << near;
        EXPECT_EQ(text + value, "") << near;
    }
}

TEST_F(StringTableTest, ValueListsStopAtTheFirstGap) {
    m_folder.Write("english",
                   "<viewer_setting.model.value_0 text=\"ZX\" value=\"v3\"/>\n"
                   "<viewer_setting.model.value_1 text=\"QRV-1CAM\"/>\n"
                   "<viewer_setting.model.value_3 text=\"after the gap\" value=\"a10\"/>\n"
                   "<black_setting.led.value_0 text=\"Off\" value=\"0\"/>\n"
                   "<black_setting.led.value_2 text=\"On\" value=\"1\"/>\n");
    ASSERT_TRUE(LoadStringTable("english"));

    std::vector<StringEntry> list{{"old", "old"}};
    ASSERT_EQ(GetValueList("viewer_setting.model", &list), 2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].text + "|" + list[0].value, "ZX|v3");
    EXPECT_EQ(list[1].text + "|" + list[1].value, "QRV-1CAM|");
    EXPECT_EQ(GetValueList("black_setting.led", &list), 1);
    EXPECT_EQ(GetValueList("black_setting.none", &list), 0);
    EXPECT_TRUE(list.empty());
}

TEST_F(StringTableTest, WideLookupsConvertAndRefuseTextsThatDoNotFit) {
    m_folder.Write("english", "<button.play text=\"재생\"/>\n"
                              "<button.stop text=\"\xF0\x9F\x8E\xA5 Stop\"/>\n"
                              "<button.long text=\"abcdefgh\"/>\n");
    ASSERT_TRUE(LoadStringTable("english"));

    wchar_t buffer[9];
    ASSERT_TRUE(GetStringW("button.play", buffer, 9));
    EXPECT_EQ(std::wstring(buffer), L"재생");
    ASSERT_TRUE(GetStringW("button.stop", buffer, 9));
    EXPECT_EQ(std::wstring(buffer), L"\U0001F3A5 Stop");
    // Eight characters need nine places with the terminator.
    ASSERT_TRUE(GetStringW("button.long", buffer, 9));
    EXPECT_EQ(std::wstring(buffer), L"abcdefgh");
    ASSERT_TRUE(GetStringW("button.long", buffer, 8));
    EXPECT_EQ(buffer[0], L'\0');
    buffer[0] = L'x';
    EXPECT_FALSE(GetStringW("button.missing", buffer, 9));
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_TRUE(GetStringW("button.play", nullptr, 0));
}

TEST_F(StringTableTest, LoadingReplacesTheTableAndFallsBackToJapanese) {
    m_folder.Write("english", "<button.ok text=\"OK\"/>\n<button.play text=\"Play\"/>\n");
    m_folder.Write("korean", "<button.ok text=\"확인\"/>\n", "Strings"); // any letter case
    ASSERT_TRUE(LoadStringTable("english"));
    ASSERT_TRUE(LoadStringTable("korean"));
    EXPECT_EQ(TextOf("button.ok"), "확인");
    EXPECT_FALSE(GetString("button.play", nullptr, nullptr));

    // Without a usable file, and no Japanese one, the table is left empty.
    EXPECT_FALSE(LoadStringTable("klingon"));
    EXPECT_TRUE(Strings().empty());
    m_folder.Write("thai", "<button.ok text=\"OK\"/>\n", "TEXTS");
    EXPECT_FALSE(LoadStringTable("thai"));
    EXPECT_TRUE(Strings().empty());

    m_folder.Write("japanese", "<button.ok text=\"了解\"/>\n");
    m_folder.WriteRaw("broken", "<STRINGS><button.ok text=\"OK\"></STRINGS>");
    // An identifier is a file name in the language folder, not a path.
    for (const char* language : {"klingon", "broken", "../language/english"}) {
        EXPECT_TRUE(LoadStringTable(language)) << language;
        EXPECT_EQ(TextOf("button.ok"), "了解") << language;
    }
}

TEST_F(StringTableTest, DamagedBytesLoadAsReplacementCharacters) {
    // A file cut inside a character, a character cut by the next one, a
    // lead byte before a NUL and Windows line ends: the parser once stepped
    // over whole characters past such bytes and past the end of the file.
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        std::string content;
        std::string text;
    } cases[] = {
        {"<STRINGS>\r\n<button.ok text=\"O\xE0\xB8K\"/>\r\n</STRINGS>\r\n",
         "O" + replacement + replacement + "K"},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r<STRINGS><button.ok "
         "text=\"\xC3\"/></STRINGS>",
         replacement},
        // Cut before the root's end: malformed, so the Japanese texts.
        {"<STRINGS><button.ok text=\"OK\"/><b\xF0\x9F", "fallback"},
        {std::string("<STRINGS><button.ok text=\"OK\"/></STRINGS>\xEF\0\0", 44), "OK"},
    };
    m_folder.Write("japanese", "<button.ok text=\"fallback\"/>\n");
    for (const auto& c : cases) {
        m_folder.WriteRaw("damaged", c.content);
        EXPECT_TRUE(LoadStringTable("damaged"));
        EXPECT_EQ(TextOf("button.ok"), c.text) << c.content;
    }
}
