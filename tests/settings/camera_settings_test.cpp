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
constexpr std::size_t kShortTail = 444;

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
    std::vector<std::uint8_t> OnCard() const { return TSetupImage::ReadFrom(m_path); }

    TLanguageFolder m_languages;
    TTempFolder m_card;
    std::string m_path = SetupFilePath(m_card.Path());
};

} // namespace

TEST_F(CameraSettingsTest, ReadsEveryFieldOfTheExtendedLayout) {
    using R = CameraSettingsRecord;
    const std::pair<std::size_t, std::int32_t R::*> fields[] = {
        {44, &R::language}, {268, &R::recordingSoundSwitch}, {280, &R::cutoff}, {284, &R::lcdTime},
        {292, &R::nightRevision}, {296, &R::wifi}, {kExtendedMain + 0, &R::speakerVolume},
        {kExtendedMain + 20, &R::frontQuality}, {kExtendedMain + 56, &R::timeZone},
        {kExtendedMain + 88, &R::memorySwitch}, {kExtendedMain + 92, &R::memoryShareUpper},
        {kExtendedMain + 100, &R::memoryShareMiddle}, {kExtendedMain + 148, &R::overspeedNotice},
        {kExtendedTail + 60, &R::adasSpeed}, {kExtendedTail + 68, &R::forwardCarNotify},
    };
    TSetupImage image("ZX", 2, 1, 7);
    std::int32_t value = 100;
    for (const auto& [offset, field] : fields)
        image.Set(offset, ++value);
    image.Set(80, 60).Set(88, 40);
    for (std::size_t i = 0; i < 6; ++i)
        image.Set(kExtendedTail + 20 + 4 * i, static_cast<std::int32_t>(10 + i));
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));

    const CameraSettingsRecord& r = CameraSettings();
    value = 100;
    for (const auto& [offset, field] : fields)
        EXPECT_EQ(r.*field, ++value) << "at " << offset;
    EXPECT_EQ(r.modelName, "ZX");
    EXPECT_EQ(Preferences().modelName, "ZX");
    EXPECT_EQ(r.firmware, (std::array<std::int32_t, 3>{2, 1, 7}));
    EXPECT_EQ(r.SensorBrightness(), 60);
    EXPECT_EQ(r.SensorColour(), 40);
    EXPECT_EQ(r.timeSetting, (std::array<std::int32_t, 6>{10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(SetupFilePath("/media/card/"), "/media/card/setup.cfg");
    EXPECT_EQ(SetupFilePath("/media/card"), "/media/card/setup.cfg");
}

TEST_F(CameraSettingsTest, TheShortLayoutReadsItsOwnOffsetsWhateverTheLetterCase) {
    TSetupImage image("qrv-2Cam");
    image.Set(kShortMain + 0, 4).Set(kShortMain + 56, 7).Set(kShortMain + 148, 90);
    // Where the extended layout would look for the speaker volume and wifi.
    image.Set(kExtendedMain + 0, 99).Set(296, 6);
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    EXPECT_EQ(CameraSettings().speakerVolume, 4);
    EXPECT_EQ(CameraSettings().timeZone, 7);
    EXPECT_EQ(CameraSettings().overspeedNotice, 90);
    EXPECT_EQ(CameraSettings().recordingVolume, 6);
    EXPECT_EQ(CameraSettings().wifi, 0);
}

TEST_F(CameraSettingsTest, UnknownAndUnusedModelsTakeTheExtendedDefault) {
    for (const char* model : {"NEW-CAM", "OLD-CAM", ""}) {
        TSetupImage image(model);
        image.Set(kExtendedMain + 56, 6).Set(292, 1);
        ASSERT_TRUE(ReadCameraSettings(PathOf(image))) << model;
        EXPECT_EQ(CameraSettings().timeZone, 6) << model;
        EXPECT_EQ(CameraSettings().nightRevision, 1) << model;
        EXPECT_EQ(FindModelInfo(model)->name, kDefaultModelName) << model;
        EXPECT_EQ(FirstPanelItems(model), (std::vector<int>{kEmptyItemSlot, kEmptyItemSlot}));
    }
}

TEST_F(CameraSettingsTest, AMismatchedCrcOrAShortFileIsRefusedWithNothingChanged) {
    CameraSettings().modelName = "kept";
    CameraSettings().timeZone = 42;
    Preferences().modelName = "kept";

    TSetupImage damaged("ZX");
    damaged.Set(kExtendedMain + 56, 3);
    damaged.Bytes()[1000] ^= 0x01;
    EXPECT_FALSE(ReadCameraSettings(PathOf(damaged)));
    EXPECT_EQ(CameraSettings().timeZone, 42);
    EXPECT_EQ(CameraSettings().modelName, "kept");
    EXPECT_EQ(Preferences().modelName, "kept");

    TSetupImage cut("ZX");
    cut.Bytes().resize(8191);
    std::vector<std::uint8_t> before = cut.Bytes();
    EXPECT_FALSE(ReadCameraSettings(PathOf(cut)));
    EXPECT_EQ(CameraSettings().timeZone, 42);
    Preferences().modelName = "ZX";
    EXPECT_FALSE(WriteCameraSettings(m_path));
    EXPECT_EQ(OnCard(), before);
}

TEST_F(CameraSettingsTest, TheFileOpeningRebuildsTheModelEvenWhenItIsRefused) {
    EXPECT_EQ(FindModelInfo("ZX"), nullptr);
    TSetupImage damaged("ZX");
    damaged.Bytes()[0] = 'Y';
    EXPECT_FALSE(ReadCameraSettings(PathOf(damaged)));
    ASSERT_NE(FindModelInfo("ZX"), nullptr);
    EXPECT_EQ(FindModelInfo("zx")->name, "ZX");
    EXPECT_EQ(SettingsItems().size(), static_cast<std::size_t>(kSettingsItemCount));

    ReleaseCameraSettingsModel();
    EXPECT_FALSE(ReadCameraSettings(m_card.File("missing.cfg")));
    EXPECT_EQ(FindModelInfo("ZX"), nullptr);
}

TEST_F(CameraSettingsTest, WritingStoresTheRecordAndKeepsUnnamedBytes) {
    TSetupImage image("ZX", 2, 0, 3);
    image.Bytes().resize(8200, 0xAB);
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    const std::vector<std::uint8_t> before = OnCard();

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
    EXPECT_EQ(TSetupImage::At(after, kExtendedMain + 20), 1);
    EXPECT_EQ(TSetupImage::At(after, kExtendedMain + 56), 9);
    EXPECT_EQ(TSetupImage::At(after, kExtendedTail + 20), 7);
    EXPECT_EQ(TSetupImage::At(after, kExtendedTail + 40), 2019);
    EXPECT_EQ(TSetupImage::At(after, kExtendedTail + 64), 2);
    // The switches follow the volumes.
    EXPECT_EQ(TSetupImage::At(after, 268), 0);
    EXPECT_EQ(TSetupImage::At(after, 276), 1);
    EXPECT_EQ(r.recordingSoundSwitch, 0);
    EXPECT_EQ(r.speakerSwitch, 1);
    // Past the table, past the record, and the carried-through fields.
    for (std::size_t offset : {std::size_t{0}, std::size_t{48}, std::size_t{100},
                               kExtendedTail + 44, kExtendedTail + 88, std::size_t{8000},
                               std::size_t{8196}})
        EXPECT_EQ(TSetupImage::At(after, offset), TSetupImage::At(before, offset)) << offset;

    ASSERT_TRUE(ReadCameraSettings(m_path));
    EXPECT_EQ(CameraSettings().timeSetting, (std::array<std::int32_t, 6>{7, 6, 5, 4, 3, 2019}));
}

TEST_F(CameraSettingsTest, TheShortLayoutNeverWritesFromByte456On) {
    TSetupImage image("QRV-2CAM", 2);
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    const std::vector<std::uint8_t> before = OnCard();
    CameraSettingsRecord& r = CameraSettings();
    r.cutoffOverflow = 1234;
    r.viewerTimeApply = 1;
    r.timeSetting = {1, 2, 3, 4, 5, 2020};
    r.adasSpeed = 50;
    r.overspeedNotice = 80;
    ASSERT_TRUE(WriteCameraSettings(m_path));

    const std::vector<std::uint8_t> after = OnCard();
    EXPECT_EQ(TSetupImage::At(after, kShortMain + 148), 80);
    EXPECT_TRUE(std::equal(after.begin() + 456, after.begin() + 8188, before.begin() + 456));
    EXPECT_TRUE(TSetupImage::CrcMatches(after));
}

TEST_F(CameraSettingsTest, TheLayoutForWritingComesFromTheModelPreference) {
    TSetupImage image("ZX");
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    CameraSettings().speakerVolume = 4;
    Preferences().modelName = "qrv-2cam";
    ASSERT_TRUE(WriteCameraSettings(m_path));
    EXPECT_EQ(TSetupImage::At(OnCard(), kShortMain), 4);

    ReleaseCameraSettingsModel();
    EXPECT_FALSE(WriteCameraSettings(m_path));
}

struct TCutoffCase {
    const char* model;
    int firmware;
    std::int32_t overflowOnCard;
    std::int32_t stored280;
    std::int32_t storedOverflow; // at 468 for the extended layout, -1 to expect it untouched
    std::int32_t readBack;
};

class CutoffSplitTest : public CameraSettingsTest,
                        public ::testing::WithParamInterface<TCutoffCase> {};

TEST_P(CutoffSplitTest, ASettingOf8IsStoredAsTheFirmwareAllows) {
    const TCutoffCase& c = GetParam();
    TSetupImage image(c.model, c.firmware);
    image.Set(kExtendedTail + 12, c.overflowOnCard);
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    const std::vector<std::uint8_t> before = OnCard();
    CameraSettings().cutoff = 8;
    ASSERT_TRUE(WriteCameraSettings(m_path));

    const std::vector<std::uint8_t> after = OnCard();
    EXPECT_EQ(TSetupImage::At(after, 280), c.stored280);
    if (c.storedOverflow >= 0)
        EXPECT_EQ(TSetupImage::At(after, kExtendedTail + 12), c.storedOverflow);
    else
        EXPECT_EQ(TSetupImage::At(after, kExtendedTail + 12), TSetupImage::At(before, kExtendedTail + 12));
    // The record keeps the setting, so a second write stores the same.
    EXPECT_EQ(CameraSettings().cutoff, 8);
    ASSERT_TRUE(WriteCameraSettings(m_path));
    EXPECT_EQ(OnCard(), after);

    ASSERT_TRUE(ReadCameraSettings(m_path));
    EXPECT_EQ(CameraSettings().cutoff, c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    BothLayoutsAndFirmwares, CutoffSplitTest,
    ::testing::Values(TCutoffCase{"ZX", 1, 0, 5, 3, 8},       // extended, 1.x: 5 + 3
                      TCutoffCase{"QRV-2CAM", 1, 0, 5, -1, 5}, // short, 1.x: capped
                      TCutoffCase{"ZX", 2, 7, 8, 7, 8},        // extended, 2.x: whole
                      TCutoffCase{"QRV-2CAM", 2, 7, 8, -1, 8})); // short, 2.x: whole

TEST_F(CameraSettingsTest, OldFirmwareAddsTheOverflowOnReadingTheExtendedLayoutOnly) {
    TSetupImage extended("ZX", 1);
    extended.Set(280, 5).Set(kExtendedTail + 12, 2);
    ASSERT_TRUE(ReadCameraSettings(PathOf(extended)));
    EXPECT_EQ(CameraSettings().cutoff, 7);
    CameraSettings().cutoff = 4;
    ASSERT_TRUE(WriteCameraSettings(m_path));
    EXPECT_EQ(TSetupImage::At(OnCard(), 280), 4);
    EXPECT_EQ(TSetupImage::At(OnCard(), kExtendedTail + 12), 0);

    TSetupImage shortLayout("QRV-2CAM", 1);
    shortLayout.Set(280, 5).Set(kExtendedTail + 12, 2);
    ASSERT_TRUE(ReadCameraSettings(PathOf(shortLayout)));
    EXPECT_EQ(CameraSettings().cutoff, 5);
}

TEST_F(CameraSettingsTest, AMissingOrReadOnlyFileIsNeverWritten) {
    TSetupImage image("ZX");
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    EXPECT_FALSE(WriteCameraSettings(m_card.File("other.cfg")));
    EXPECT_FALSE(std::filesystem::exists(m_card.File("other.cfg")));

    const std::vector<std::uint8_t> before = OnCard();
    CameraSettings().timeZone = 11;
    chmod(m_path.c_str(), 0444);
    EXPECT_FALSE(WriteCameraSettings(m_path));
    EXPECT_EQ(OnCard(), before);
}

TEST_F(CameraSettingsTest, AWriteThatFailsMidwayLeavesTheOldFileIntact) {
    TSetupImage image("ZX");
    ASSERT_TRUE(ReadCameraSettings(PathOf(image)));
    const std::vector<std::uint8_t> before = OnCard();
    CameraSettings().timeZone = 11;

    // The card fills up after 4096 bytes of the new image.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = WriteCameraSettings(m_path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(OnCard(), before);
    // Nothing but the file itself is left on the card.
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_card.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

// Which values a reset stores is held to the choice lists by the language
// file test; here, what it keeps and what depends on the model.
TEST_F(CameraSettingsTest, ResetKeepsCarriedFieldsAndSetsTheModelValues) {
    CameraSettingsRecord& r = CameraSettings();
    r.carriedMain36 = 77;
    r.block64[0] = r.block64[10] = 5;
    r.block64[1] = 8;
    using Values = std::vector<std::int32_t>;
    // Cut-off, language, time zone, channels saved, the tail at 72 and 76.
    const std::pair<const char*, Values> cases[] = {
        {"pnta-fr", {5, 2, 9, 1, 106, 240}}, {"QRV-1CAM", {5, 2, 9, 0, 106, 240}}, {"NEW-CAM", {0, 0, 0, 0, 0, 0}}};
    for (const auto& [model, expected] : cases) {
        r.saveChannel = 7;
        ResetCameraSettings(model);
        EXPECT_EQ(Values({r.cutoff, r.language, r.timeZone, r.saveChannel, r.carriedTail72, r.carriedTail76}),
                  expected) << model;
        EXPECT_EQ(Values({r.carriedMain36, r.block64[1], r.block64[0], r.block64[10]}), Values({77, 8, 0, 0}));
    }
    EXPECT_EQ(Values({r.SensorBrightness(), r.SensorColour(), r.memoryShareUpper, r.memoryShareMiddle}),
              Values({50, 50, 30, 20}));
    r.modelName = "NEW-CAM";
    ResetCameraSettings("");
    EXPECT_EQ(r.carriedMain36, 0);
    EXPECT_EQ(r.modelName, "");
    EXPECT_EQ(r.osd, 1);
}
