#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "language/string_table.h"
#include "settings/camera_settings.h"
#include "settings/camera_settings_model.h"
#include "settings/viewer_preferences.h"
#include "tests/language/language_folder.h"
#include "tests/settings/setup_image.h"

namespace {

// Extended layout: main block at 300, tail at 456. Short: 292 and 444.
constexpr std::size_t kExtendedMain = 300;
constexpr std::size_t kExtendedTail = 456;
constexpr std::size_t kShortMain = 292;
constexpr std::size_t kCutoff = 280;
constexpr std::size_t kCutoffOverflow = kExtendedTail + 12;

using Values = std::vector<std::int32_t>;

class CameraSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_languages.Write("english", kTestModelList);
        Preferences() = ViewerPreferences();
        Preferences().language = "english";
        CameraSettings() = CameraSettingsRecord();
    }
    void TearDown() override {
        ReleaseCameraSettingsModel();
        ReleaseStringTable();
        CameraSettings() = CameraSettingsRecord();
        Preferences() = ViewerPreferences();
    }

    std::string PathOf(TSetupImage& image) {
        image.WriteTo(m_path);
        return m_path;
    }
    // Reads `image` from the card; what is on the card afterwards.
    std::vector<std::uint8_t> Read(TSetupImage&& image) {
        EXPECT_TRUE(ReadCameraSettings(PathOf(image)));
        return OnCard();
    }
    std::vector<std::uint8_t> OnCard() const { return TSetupImage::ReadFrom(m_path); }
    std::int32_t OnCardAt(std::size_t offset) const { return TSetupImage::At(OnCard(), offset); }

    TLanguageFolder m_languages;
    TTempFolder m_card;
    std::string m_path = SetupFilePath(m_card.Path());
};

} // namespace

TEST_F(CameraSettingsTest, ReadsEveryFieldOfTheExtendedLayout) {
    using R = CameraSettingsRecord;
    const std::pair<std::size_t, std::int32_t R::*> fields[] = {
        {44, &R::language},
        {268, &R::recordingSoundSwitch},
        {kCutoff, &R::cutoff},
        {284, &R::lcdTime},
        {292, &R::nightRevision},
        {296, &R::wifi},
        {kExtendedMain + 0, &R::speakerVolume},
        {kExtendedMain + 20, &R::frontQuality},
        {kExtendedMain + 56, &R::timeZone},
        {kExtendedMain + 88, &R::memorySwitch},
        {kExtendedMain + 92, &R::memoryShareUpper},
        {kExtendedMain + 100, &R::memoryShareMiddle},
        {kExtendedMain + 148, &R::overspeedNotice},
        {kExtendedTail + 60, &R::adasSpeed},
        {kExtendedTail + 68, &R::forwardCarNotify},
    };
    TSetupImage image("ZX", 2, 1, 7);
    std::int32_t value = 100;
    for (const auto& [offset, field] : fields)
        image.Set(offset, ++value);
    image.Set(80, 60).Set(88, 40);
    for (std::size_t i = 0; i < 6; ++i)
        image.Set(kExtendedTail + 20 + 4 * i, static_cast<std::int32_t>(10 + i));
    Read(std::move(image));

    const CameraSettingsRecord& r = CameraSettings();
    value = 100;
    for (const auto& [offset, field] : fields)
        EXPECT_EQ(r.*field, ++value) << "at " << offset;
    EXPECT_EQ(r.modelName + "/" + Preferences().modelName, "ZX/ZX");
    EXPECT_EQ(r.firmware, (std::array<std::int32_t, 3>{2, 1, 7}));
    EXPECT_EQ(Values({r.SensorBrightness(), r.SensorColour()}), Values({60, 40}));
    EXPECT_EQ(r.timeSetting, (std::array<std::int32_t, 6>{10, 11, 12, 13, 14, 15}));
}

TEST_F(CameraSettingsTest, TheModelChoosesTheLayoutWhateverItsLetterCase) {
    TSetupImage image("qrv-2Cam");
    image.Set(kShortMain + 0, 4).Set(kShortMain + 56, 7).Set(kShortMain + 148, 90);
    // Where the extended layout would look for the speaker volume and wifi.
    image.Set(kExtendedMain + 0, 99).Set(296, 6);
    Read(std::move(image));
    const CameraSettingsRecord& r = CameraSettings();
    EXPECT_EQ(Values({r.speakerVolume, r.timeZone, r.overspeedNotice, r.recordingVolume, r.wifi}),
              Values({4, 7, 90, 6, 0}));
    // Unknown and unused models take the extended default.
    for (const char* model : {"NEW-CAM", "OLD-CAM", ""}) {
        Read(std::move(TSetupImage(model).Set(kExtendedMain + 56, 6).Set(292, 1)));
        EXPECT_EQ(Values({r.timeZone, r.nightRevision}), Values({6, 1})) << model;
    }
}

TEST_F(CameraSettingsTest, DamagedShortMissingAndReadOnlyFilesAreRefusedWithNothingChanged) {
    CameraSettings().modelName = Preferences().modelName = "kept";
    CameraSettings().timeZone = 42;
    TSetupImage damaged("ZX");
    damaged.Set(kExtendedMain + 56, 3).Bytes()[1000] ^= 0x01;
    TSetupImage cut("ZX");
    cut.Bytes().resize(8191);
    for (TSetupImage* image : {&damaged, &cut}) {
        EXPECT_FALSE(ReadCameraSettings(PathOf(*image)));
        EXPECT_EQ(CameraSettings().timeZone, 42);
        EXPECT_EQ(CameraSettings().modelName + "/" + Preferences().modelName, "kept/kept");
    }
    Preferences().modelName = "ZX";
    EXPECT_FALSE(WriteCameraSettings(m_path));
    EXPECT_EQ(OnCard(), cut.Bytes());

    const std::vector<std::uint8_t> before = Read(TSetupImage("ZX"));
    EXPECT_FALSE(WriteCameraSettings(m_card.File("other.cfg")));
    EXPECT_FALSE(std::filesystem::exists(m_card.File("other.cfg")));
    CameraSettings().timeZone = 11;
    chmod(m_path.c_str(), 0444);
    EXPECT_FALSE(WriteCameraSettings(m_path));
    EXPECT_EQ(OnCard(), before);
}

TEST_F(CameraSettingsTest, WritingStoresTheRecordAndKeepsUnnamedBytes) {
    TSetupImage image("ZX", 2, 0, 3);
    image.Bytes().resize(8200, 0xAB);
    const std::vector<std::uint8_t> before = Read(std::move(image));
    CameraSettingsRecord& r = CameraSettings();
    r.frontQuality = 1;
    r.timeZone = 9;
    r.timeSetting = {7, 6, 5, 4, 3, 2019};
    r.adasAlarm = 2;
    r.recordingVolume = 0;
    r.speakerVolume = 3;
    ASSERT_TRUE(WriteCameraSettings(m_path));

    const std::vector<std::uint8_t> after = OnCard();
    ASSERT_EQ(after.size(), 8200u);
    EXPECT_TRUE(TSetupImage::CrcMatches(after));
    // The switches at 268 and 276 follow the volumes.
    Values stored;
    for (std::size_t offset :
         {kExtendedMain + 20, kExtendedMain + 56, kExtendedTail + 20, kExtendedTail + 40,
          kExtendedTail + 64, std::size_t{268}, std::size_t{276}})
        stored.push_back(TSetupImage::At(after, offset));
    EXPECT_EQ(stored, Values({1, 9, 7, 2019, 2, 0, 1}));
    EXPECT_EQ(Values({r.recordingSoundSwitch, r.speakerSwitch}), Values({0, 1}));
    // Past the table, past the record, and the carried-through fields.
    for (std::size_t offset :
         {std::size_t{0}, std::size_t{48}, std::size_t{100}, kExtendedTail + 44, kExtendedTail + 88,
          std::size_t{8000}, std::size_t{8196}})
        EXPECT_EQ(TSetupImage::At(after, offset), TSetupImage::At(before, offset)) << offset;
    ASSERT_TRUE(ReadCameraSettings(m_path));
    EXPECT_EQ(CameraSettings().timeSetting, (std::array<std::int32_t, 6>{7, 6, 5, 4, 3, 2019}));
}

TEST_F(CameraSettingsTest, TheModelPreferenceChoosesTheLayoutForWritingAndTheShortOneStopsAt456) {
    const std::vector<std::uint8_t> before = Read(TSetupImage("ZX"));
    CameraSettingsRecord& r = CameraSettings();
    r.speakerVolume = 4;
    r.cutoffOverflow = 1234;
    r.viewerTimeApply = 1;
    r.timeSetting = {1, 2, 3, 4, 5, 2020};
    r.adasSpeed = 50;
    r.overspeedNotice = 80;
    Preferences().modelName = "qrv-2cam";
    ASSERT_TRUE(WriteCameraSettings(m_path));
    const std::vector<std::uint8_t> after = OnCard();
    EXPECT_EQ(
        Values({TSetupImage::At(after, kShortMain), TSetupImage::At(after, kShortMain + 148)}),
        Values({4, 80}));
    EXPECT_TRUE(std::equal(after.begin() + 456, after.begin() + 8188, before.begin() + 456));
    EXPECT_TRUE(TSetupImage::CrcMatches(after));
    ReleaseCameraSettingsModel();
    EXPECT_FALSE(WriteCameraSettings(m_path));
}

struct TCutoffCase {
    const char* model;
    int firmware;
    std::int32_t overflowOnCard;
    std::int32_t stored;
    std::int32_t storedOverflow; // -1 to expect it untouched
    std::int32_t readBack;
};

class CutoffSplitTest : public CameraSettingsTest,
                        public ::testing::WithParamInterface<TCutoffCase> {};

TEST_P(CutoffSplitTest, ASettingOf8IsStoredAsTheFirmwareAllows) {
    const TCutoffCase& c = GetParam();
    const std::vector<std::uint8_t> before =
        Read(std::move(TSetupImage(c.model, c.firmware).Set(kCutoffOverflow, c.overflowOnCard)));
    CameraSettings().cutoff = 8;
    ASSERT_TRUE(WriteCameraSettings(m_path));
    const std::vector<std::uint8_t> after = OnCard();
    EXPECT_EQ(TSetupImage::At(after, kCutoff), c.stored);
    EXPECT_EQ(TSetupImage::At(after, kCutoffOverflow),
              c.storedOverflow >= 0 ? c.storedOverflow : TSetupImage::At(before, kCutoffOverflow));
    // The record keeps the setting, so a second write stores the same.
    EXPECT_EQ(CameraSettings().cutoff, 8);
    ASSERT_TRUE(WriteCameraSettings(m_path));
    EXPECT_EQ(OnCard(), after);
    ASSERT_TRUE(ReadCameraSettings(m_path));
    EXPECT_EQ(CameraSettings().cutoff, c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    BothLayoutsAndFirmwares, CutoffSplitTest,
    ::testing::Values(TCutoffCase{"ZX", 1, 0, 5, 3, 8},          // extended, 1.x: 5 + 3
                      TCutoffCase{"QRV-2CAM", 1, 0, 5, -1, 5},   // short, 1.x: capped
                      TCutoffCase{"ZX", 2, 7, 8, 7, 8},          // extended, 2.x: whole
                      TCutoffCase{"QRV-2CAM", 2, 7, 8, -1, 8})); // short, 2.x: whole

TEST_F(CameraSettingsTest, AWriteThatFailsMidwayLeavesTheOldFileIntact) {
    const std::vector<std::uint8_t> before = Read(TSetupImage("ZX"));
    CameraSettings().timeZone = 11;
    // The card fills up after 4096 bytes of the new image.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteCameraSettings(m_path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(OnCard(), before);
    // Nothing but the file itself is left on the card.
    const auto card = std::filesystem::directory_iterator(m_card.Path());
    EXPECT_EQ(std::distance(begin(card), end(card)), 1);
}

// Which values a reset stores is held to the choice lists by the language
// file test; here, what it keeps and what depends on the model.
TEST_F(CameraSettingsTest, ResetKeepsCarriedFieldsAndSetsTheModelValues) {
    CameraSettingsRecord& r = CameraSettings();
    r.carriedMain36 = 77;
    r.block64[0] = r.block64[10] = 5;
    r.block64[1] = 8;
    // Cut-off, language, time zone, channels saved, the tail at 72 and 76.
    const std::pair<const char*, Values> cases[] = {{"pnta-fr", {5, 2, 9, 1, 106, 240}},
                                                    {"QRV-1CAM", {5, 2, 9, 0, 106, 240}},
                                                    {"NEW-CAM", {0, 0, 0, 0, 0, 0}}};
    for (const auto& [model, expected] : cases) {
        r.saveChannel = 7;
        ResetCameraSettings(model);
        EXPECT_EQ(Values({r.cutoff, r.language, r.timeZone, r.saveChannel, r.carriedTail72,
                          r.carriedTail76}),
                  expected)
            << model;
        EXPECT_EQ(Values({r.carriedMain36, r.block64[1], r.block64[0], r.block64[10]}),
                  Values({77, 8, 0, 0}));
    }
    EXPECT_EQ(
        Values({r.SensorBrightness(), r.SensorColour(), r.memoryShareUpper, r.memoryShareMiddle}),
        Values({50, 50, 30, 20}));
    r.modelName = "NEW-CAM";
    ResetCameraSettings("");
    EXPECT_EQ(r.carriedMain36, 0);
    EXPECT_EQ(r.modelName, "");
    EXPECT_EQ(r.osd, 1);
}
