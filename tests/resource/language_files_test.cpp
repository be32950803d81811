// The six language files as the build tree holds them: read key by key in
// document order, and held to what the program, the string table and the
// camera settings need from them.

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "language/string_keys.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "settings/camera_settings.h"

namespace {

namespace keys = string_keys;

// The callers of the string table draw at most this many UTF-16 characters;
// a longer text comes out empty.
constexpr std::size_t kLongestShownText = 255;
// Model names and language identifiers live in 32-byte preference fields.
constexpr std::size_t kLongestPreferenceText = 31;
constexpr wchar_t kReplacement = 0xFFFD;

struct LanguageFile {
    std::string language;
    bool read = false;
    std::vector<std::string> keys;              // in document order, repeats kept
    std::map<std::string, StringEntry> entries; // first occurrence of each key

    const StringEntry* Find(const std::string& key) const {
        auto found = entries.find(key);
        return found == entries.end() ? nullptr : &found->second;
    }
    // The option list under `prefix`, up to the first missing index.
    std::vector<StringEntry> List(const std::string& prefix) const {
        std::vector<StringEntry> list;
        while (const StringEntry* entry = Find(ValueKey(prefix, static_cast<int>(list.size()))))
            list.push_back(*entry);
        return list;
    }
    std::set<int> Codes(const std::string& item) const {
        std::set<int> codes;
        for (const StringEntry& choice : List(keys::kCameraSettingPrefix + item))
            codes.insert(std::atoi(choice.value.c_str()));
        return codes;
    }
};

// Every element as written, repeats and all; the string table is held to
// reading the same.
const std::vector<LanguageFile>& AllFiles() {
    static const std::vector<LanguageFile> files = [] {
        std::vector<LanguageFile> read;
        TiXmlBase::SetCondenseWhiteSpace(false);
        for (const char* language : keys::kLanguages) {
            LanguageFile& file = read.emplace_back();
            file.language = language;
            TiXmlDocument document(LanguageFilePath(language).c_str());
            file.read = document.LoadFile() && document.RootElement();
            for (auto* element = file.read ? document.RootElement()->FirstChildElement() : nullptr;
                 element; element = element->NextSiblingElement()) {
                const char* text = element->Attribute("text");
                const char* value = element->Attribute("value");
                file.keys.push_back(element->Value());
                file.entries.emplace(element->Value(),
                                     StringEntry{text ? text : "", value ? value : ""});
            }
        }
        return read;
    }();
    return files;
}

const LanguageFile& English() {
    return *std::find_if(AllFiles().begin(), AllFiles().end(),
                         [](const LanguageFile& file) { return file.language == "english"; });
}

bool IsDecimalNumber(const std::string& text) {
    return std::regex_match(text, std::regex("-?[0-9]+"));
}

class LanguageFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const LanguageFile& file : AllFiles())
            ASSERT_TRUE(file.read) << LanguageFilePath(file.language) << " does not parse";
    }
    void TearDown() override { ReleaseStringTable(); }
};

TEST_F(LanguageFilesTest, EachKeyOnceTheSameKeysEverywhereAndEveryKeyTheProgramAsksFor) {
    std::set<std::string> englishKeys(English().keys.begin(), English().keys.end());
    std::vector<std::string> asked(keys::kButtons.begin(), keys::kButtons.end());
    asked.insert(asked.end(), keys::kLabels.begin(), keys::kLabels.end());
    asked.insert(asked.end(), keys::kMessages.begin(), keys::kMessages.end());
    asked.insert(asked.end(), keys::kMenus.begin(), keys::kMenus.end());
    asked.insert(asked.end(), keys::kSliders.begin(), keys::kSliders.end());
    asked.insert(asked.end(), keys::kViewerSettingCaptions.begin(),
                 keys::kViewerSettingCaptions.end());
    for (const char* prefix : {keys::kJpegPath, keys::kModelList})
        asked.push_back(TitleKey(prefix));
    for (const std::string& key : asked)
        EXPECT_TRUE(englishKeys.count(key)) << "english lacks " << key;
    for (const LanguageFile& file : AllFiles()) {
        std::set<std::string> seen;
        for (const std::string& key : file.keys)
            EXPECT_TRUE(seen.insert(key).second) << file.language << ": " << key << " twice";
        EXPECT_EQ(seen, englishKeys) << file.language;
        // The string table reads the file the same way.
        ASSERT_TRUE(LoadStringTable(file.language));
        for (const auto& [key, entry] : file.entries) {
            std::string text, value;
            EXPECT_TRUE(GetString(key, &text, &value)) << file.language << ": " << key;
            EXPECT_EQ(text, entry.text) << file.language << ": " << key;
            EXPECT_EQ(value, entry.value) << file.language << ": " << key;
        }
    }
}

TEST_F(LanguageFilesTest, EveryTextIsShowableAsItStands) {
    const auto isSpace = [](wchar_t c) { return c == L' ' || c == 0x3000 || c == 0xA0; };
    for (const LanguageFile& file : AllFiles()) {
        for (const auto& [key, entry] : file.entries) {
            const std::wstring text = Utf8ToWide(entry.text);
            const std::string where = file.language + ": " + key;
            EXPECT_EQ(text.find(kReplacement), std::wstring::npos) << where << " is not UTF-8";
            EXPECT_EQ(Utf8ToWide(entry.value).find(kReplacement), std::wstring::npos) << where;
            ASSERT_FALSE(text.empty()) << where << " has no text";
            EXPECT_FALSE(isSpace(text.front()) || isSpace(text.back()))
                << where << " has stray spaces";
            EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x20; }))
                << where << " has a control character";
            EXPECT_LE(Utf8ToUtf16(entry.text).size(), kLongestShownText) << where;
        }
    }
}

// A gap ends a list early, and a value that differs between languages makes
// the choice store something else after a change of language.
TEST_F(LanguageFilesTest, OptionListsAreUnbrokenAndMeanTheSameInEveryLanguage) {
    for (const LanguageFile& file : AllFiles()) {
        // Every option list the file holds, by prefix, with the indices present.
        std::map<std::string, std::set<int>> lists;
        std::smatch index;
        for (const std::string& key : file.keys) {
            if (std::regex_match(key, index, std::regex("(.*)\\.value_([0-9]+)")))
                lists[index[1]].insert(std::stoi(index[2]));
        }
        for (const auto& [prefix, indices] : lists) {
            EXPECT_EQ(static_cast<std::size_t>(*indices.rbegin()) + 1, indices.size())
                << file.language << ": " << prefix << " has a gap";
            std::vector<StringEntry> list = file.List(prefix);
            std::vector<StringEntry> english = English().List(prefix);
            ASSERT_EQ(list.size(), english.size()) << file.language << ": " << prefix;
            for (std::size_t i = 0; i < list.size(); ++i)
                EXPECT_EQ(list[i].value, english[i].value)
                    << file.language << ": " << prefix << " " << i;
        }
        for (const char* list : keys::kTwoChoiceLists)
            EXPECT_EQ(file.List(list).size(), 2u) << file.language << ": " << list;
        for (const char* key : keys::kButtonsWithPausedValue) {
            const StringEntry* entry = file.Find(key);
            ASSERT_TRUE(entry) << file.language << ": " << key;
            EXPECT_FALSE(entry->value.empty() || entry->value == entry->text)
                << file.language << ": " << key;
        }
    }
}

TEST_F(LanguageFilesTest, CameraSettingsItemsHaveCaptionsAndDistinctNumericCodes) {
    const std::set<std::string> items(keys::kCameraSettingItems.begin(),
                                      keys::kCameraSettingItems.end());
    for (const LanguageFile& file : AllFiles()) {
        for (const std::string& item : items) {
            const std::string prefix = keys::kCameraSettingPrefix + item;
            EXPECT_TRUE(file.Find(TitleKey(prefix))) << file.language << ": " << prefix;
            std::vector<StringEntry> choices = file.List(prefix);
            EXPECT_FALSE(choices.empty()) << file.language << ": " << prefix;
            std::set<int> codes;
            for (const StringEntry& choice : choices) {
                ASSERT_TRUE(IsDecimalNumber(choice.value))
                    << file.language << ": " << prefix << " \"" << choice.value << "\"";
                // The dialog selects the first choice whose code matches.
                EXPECT_TRUE(codes.insert(std::atoi(choice.value.c_str())).second)
                    << file.language << ": " << prefix << " repeats " << choice.value;
            }
        }
        // A misspelt item key would be looked up by nobody.
        for (const std::string& key : file.keys) {
            if (key.rfind(keys::kCameraSettingPrefix, 0) != 0)
                continue;
            const std::string rest = key.substr(std::string(keys::kCameraSettingPrefix).size());
            EXPECT_TRUE(items.count(rest.substr(0, rest.find('.'))))
                << file.language << ": " << key;
        }
    }
}

TEST_F(LanguageFilesTest, CameraChoicesOfferWhatTheResetStores) {
    const std::vector<std::string> models = {"",         "NEW-CAM", "QRV-1CAM", "PNTA-F",
                                             "QRV-2CAM", "ZX",      "PNTA-FR"};
    for (const LanguageFile& file : AllFiles()) {
        for (const std::string& model : models) {
            ResetCameraSettings(model);
            for (const char* item : keys::kCameraSettingItems) {
                const TSettingSpan field = FindSettingField(CameraSettings(), item);
                ASSERT_NE(field.values, nullptr) << item;
                if (field.count != 1)
                    continue;
                EXPECT_TRUE(file.Codes(item).count(*field.values))
                    << file.language << ": " << item << " " << *field.values
                    << " after a reset for \"" << model << "\"";
            }
        }
        // A volume of 0 switches the speaker and the sound recording off.
        EXPECT_TRUE(file.Codes("speaker_volume").count(0) &&
                    file.Codes("recording_volume").count(0))
            << file.language;
        // Old firmware keeps at most 5 in one field; the rest goes elsewhere.
        for (const char* cutoff : {"cutted_voltage", "cutoff_vol_time"}) {
            std::set<int> codes = file.Codes(cutoff);
            EXPECT_TRUE(!codes.empty() && *codes.rbegin() > 5) << file.language << ": " << cutoff;
        }
    }
}

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return text;
}

TEST_F(LanguageFilesTest, ModelListNamesTheKnownCamerasWithBothLayouts) {
    const std::set<std::string> layoutWords = {"v3", "a10", "nouse"};
    const std::vector<StringEntry> english = English().List(keys::kModelList);
    for (const LanguageFile& file : AllFiles()) {
        const std::vector<StringEntry> models = file.List(keys::kModelList);
        ASSERT_EQ(models.size(), english.size()) << file.language;
        std::set<std::string> used, lowerNames;
        bool extended = false, shortLayout = false;
        for (std::size_t i = 0; i < models.size(); ++i) {
            const StringEntry& model = models[i];
            // The names are the cameras' own and key the model table.
            EXPECT_EQ(model.text, english[i].text) << file.language;
            EXPECT_LE(model.text.size(), kLongestPreferenceText) << model.text;
            EXPECT_TRUE(lowerNames.insert(Lowered(model.text)).second)
                << file.language << ": " << model.text;
            const std::string word = Lowered(model.value);
            EXPECT_TRUE(layoutWords.count(word)) << file.language << ": " << model.value;
            if (word == "nouse")
                continue;
            used.insert(model.text);
            (word == "v3" ? extended : shortLayout) = true;
        }
        for (const char* name : {"QRV-1CAM", "PNTA-F", "QRV-2CAM", "ZX", "PNTA-FR"})
            EXPECT_TRUE(used.count(name)) << file.language << ": " << name;
        EXPECT_TRUE(extended && shortLayout) << file.language;
    }
}

TEST_F(LanguageFilesTest, LanguageListOffersEverySixFilesByIdentifier) {
    const std::set<std::string> expected(keys::kLanguages.begin(), keys::kLanguages.end());
    for (const LanguageFile& file : AllFiles()) {
        std::set<std::string> offered;
        for (const StringEntry& entry : file.List(keys::kLanguageList)) {
            EXPECT_LE(entry.value.size(), kLongestPreferenceText);
            EXPECT_TRUE(offered.insert(entry.value).second) << file.language << ": " << entry.value;
        }
        EXPECT_EQ(offered, expected) << file.language;
    }
}

} // namespace
