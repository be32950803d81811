#include <gtest/gtest.h>

#include "language/string_table.h"
#include "settings/camera_settings_model.h"
#include "settings/preferred_language.h"
#include "settings/viewer_preferences.h"
#include "tests/language/language_folder.h"
#include "tests/settings/setup_image.h"

namespace {

class CameraSettingsModelTest : public ::testing::Test {
protected:
    void SetUp() override { Preferences().language = "english"; }
    void TearDown() override {
        ReleaseCameraSettingsModel();
        ReleaseStringTable();
        Preferences() = ViewerPreferences();
    }
    void Load(const std::string& body) {
        m_languages.Write("english", body);
        LoadStringTableAndSettingsModel();
    }
    static const SettingsItem& Item(const std::string& key) {
        for (const SettingsItem& item : SettingsItems()) {
            if (item.key == key)
                return item;
        }
        static const SettingsItem none;
        return none;
    }

    TLanguageFolder m_languages;
};

const std::vector<int> kOneCamera = {1, 2, 28, 3, 4, 5, 6, 7, 22, 8, 16};
const std::vector<int> kTwoCamera = {1, 2, 28, 3, 4, 5, 6, 7, 22, 8, 16, 14};
const std::vector<int> kDefaultList = {kEmptyItemSlot, kEmptyItemSlot};

} // namespace

TEST_F(CameraSettingsModelTest, ItemsTakeCaptionsAndNumericChoicesFromTheTable) {
    Load("<black_setting.front_quality.title text=\"화질\"/>\n"
         "<black_setting.front_quality.value_0 text=\"Low\" value=\"0\"/>\n"
         "<black_setting.front_quality.value_1 text=\"High\" value=\"2\"/>\n"
         "<black_setting.front_quality.value_2 text=\"Odd\" value=\"x\"/>\n"
         "<black_setting.led.value_0 text=\"Off\" value=\"0\"/>\n"
         "<black_setting.time_setting.title text=\"Clock\"/>\n");
    ASSERT_EQ(SettingsItems().size(), static_cast<std::size_t>(kSettingsItemCount));
    EXPECT_EQ(SettingsItems()[1].key, "front_quality");
    EXPECT_EQ(SettingsItems()[28].key, "status_parking_mode");

    const SettingsItem& quality = Item("front_quality");
    EXPECT_EQ(quality.caption, L"화질");
    ASSERT_EQ(quality.choices.size(), 3u);
    EXPECT_EQ(quality.choices[1].label, "High");
    EXPECT_EQ(quality.choices[1].value, 2);
    EXPECT_EQ(quality.choices[2].value, 0);
    EXPECT_EQ(quality.field.values, &CameraSettings().frontQuality);
    EXPECT_EQ(quality.controlKind, kComboControl);

    // Without a caption an item gets no choices.
    EXPECT_TRUE(Item("led").caption.empty());
    EXPECT_TRUE(Item("led").choices.empty());

    const SettingsItem& clock = Item("time_setting");
    EXPECT_EQ(clock.controlKind, kDateTimeControl);
    EXPECT_EQ(clock.controlStyle, kDateTimePickerStyle);
    EXPECT_EQ(clock.field.values, CameraSettings().timeSetting.data());
    EXPECT_EQ(clock.field.count, 6u);

    // Both cut-off items edit the one field.
    EXPECT_EQ(Item("cutted_voltage").field.values, &CameraSettings().cutoff);
    EXPECT_EQ(Item("cutoff_vol_time").field.values, &CameraSettings().cutoff);
    for (const SettingsItem& item : SettingsItems())
        EXPECT_NE(item.field.values, nullptr) << item.key;
}

TEST_F(CameraSettingsModelTest, LayoutWordsChooseTheLayoutAndEachModelItsItems) {
    // The model list is read only under its title.
    Load("<viewer_setting.model.value_0 text=\"ZX\" value=\"a10\"/>\n");
    EXPECT_EQ(FindModelInfo("ZX")->name, kDefaultModelName);
    Load(kTestModelList);
    struct TModel {
        const char* asked;
        std::string name;
        int layout;
        std::vector<int> firstPanel;
    };
    // PNTA-FR is known to the program but not listed by this language file;
    // "nouse" leaves a model out.
    const TModel models[] = {
        {"qrv-1cam", "QRV-1CAM", kExtendedLayout, kOneCamera},
        {"pnta-f", "PNTA-F", kShortLayout, kOneCamera},
        {"Zx", "ZX", kExtendedLayout, kTwoCamera},
        {"qrv-2cam", "QRV-2CAM", kShortLayoutA10, kTwoCamera},
        {"PNTA-FR", kDefaultModelName, kExtendedLayout, kDefaultList},
        {"OLD-CAM", kDefaultModelName, kExtendedLayout, kDefaultList},
        {"NEW-CAM", kDefaultModelName, kExtendedLayout, kDefaultList},
    };
    for (const TModel& model : models) {
        ASSERT_NE(FindModelInfo(model.asked), nullptr) << model.asked;
        EXPECT_EQ(FindModelInfo(model.asked)->name, model.name) << model.asked;
        EXPECT_EQ(FindModelInfo(model.asked)->layout, model.layout) << model.asked;
        EXPECT_EQ(FirstPanelItems(model.asked), model.firstPanel) << model.asked;
        EXPECT_EQ(SecondPanelItems(model.asked), kDefaultList) << model.asked;
    }
}

TEST_F(CameraSettingsModelTest, ARebuildKeepsTheModelsButRefreshesTheItems) {
    Load(std::string(kTestModelList) + "<black_setting.osd.title text=\"OSD\"/>\n");
    m_languages.Write("korean", "<viewer_setting.model.title text=\"모델\"/>\n"
                                "<viewer_setting.model.value_0 text=\"QRV-2CAM\" value=\"v3\"/>\n"
                                "<viewer_setting.model.value_1 text=\"PNTA-FR\" value=\"v3\"/>\n"
                                "<black_setting.osd.title text=\"화면 표시\"/>\n");
    Preferences().language = "korean";
    LoadStringTableAndSettingsModel();
    EXPECT_EQ(FindModelInfo("QRV-2CAM")->layout, kShortLayoutA10);
    EXPECT_EQ(FindModelInfo("ZX")->name, "ZX");
    EXPECT_EQ(FindModelInfo("PNTA-FR")->name, "PNTA-FR");
    EXPECT_EQ(Item("osd").caption, L"화면 표시");

    // A change of language releases first, and then the new words count.
    ReleaseCameraSettingsModel();
    EXPECT_EQ(FindModelInfo("ZX"), nullptr);
    EXPECT_TRUE(SettingsItems().empty());
    EXPECT_TRUE(FirstPanelItems("ZX").empty());
    BuildCameraSettingsModel();
    EXPECT_EQ(FindModelInfo("QRV-2CAM")->layout, kExtendedLayout);
    EXPECT_EQ(FindModelInfo("ZX")->name, kDefaultModelName);
}
