#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/shell_dialogs.h"
#include "recordings/card_watcher.h"
#include "recordings/recording_catalog.h"
#include "settings/viewer_preferences.h"
#include "tests/language/language_folder.h"
#include "tests/platform/volumes_fake_system.h"
#include "tests/settings/setup_image.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// What the list panel was told, as the panel would hold it.
class TRecordedList : public IRecordingListView {
public:
    void ClearRows() override {
        ++clears;
        rows.clear();
        currentRow = -1;
    }
    void ShowRows(const std::vector<std::string>& paths) override { rows = paths; }
    void SetCurrentRow(int row) override { currentRow = row; }
    void SetRebuilt(bool mark) override { rebuilt = mark; }
    void ShowSourcePath(const std::string& path) override {
        sourcePath = path;
        ++pathRedraws;
    }

    std::vector<std::string> rows;
    int currentRow = -2;
    bool rebuilt = false;
    std::string sourcePath = "never shown";
    int clears = 0;
    int pathRedraws = 0;
};

class TFakePlayback : public IPlaybackControl {
public:
    bool IsPlaybackStopped() const override { return stopped; }
    std::string OpenRecordingPath() const override { return openPath; }
    void StopPlayback() override {
        stopped = true;
        ++stops;
    }

    bool stopped = true;
    std::string openPath;
    int stops = 0;
};

std::string StoredModelName() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, KEY_READ, &key) != 0)
        return "<no key>";
    char buffer[64] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key, "ModelName", nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    return result == 0 && type == REG_SZ ? std::string(buffer) : "<no value>";
}

// A card and a folder with recordings of every kind, a registry and a
// resource folder of the test's own, and a fake system whose removable
// volume is the card.
class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_languages.Write("english", kTestModelList);
        Preferences() = ViewerPreferences();
        Preferences().language = "english";
        m_system.AddDisk("sda", false).AddPartition("sda", "sda1");
        m_system.AddDisk("sdb", true).AddPartition("sdb", "sdb1");
        m_catalog.SetView(&m_list);
    }
    void TearDown() override { StopRecordingFolderPickers(); }

    std::string Touch(const TTempFolder& folder, const std::string& relative) const {
        const std::string path = folder.File(relative);
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream{path};
        return path;
    }
    void MountCard() const {
        m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sda1", "/") +
                             TFakeVolumeSystem::MountLine("/dev/sdb1", m_card.Path()));
    }
    void UnmountCard() const {
        m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sda1", "/"));
    }
    std::vector<std::string> FillCard() const {
        return {
            Touch(m_card, "DCIM/B/INF_F_0001_20230514-080000.avi"),
            Touch(m_card, "EVT_F_0002_20230514-080100.avi"),
            Touch(m_card, "DCIM/A/MOE_F_0003_20230514-080200.avi"),
            Touch(m_card, "man_F_0004_20230514-080300.AVI"),
            Touch(m_card, "DCIM/tls_F_0005_20230514-080400.avi"),
        };
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.Path()};
    TLanguageFolder m_languages;
    TFakeVolumeSystem m_system;
    TScopedVolumeSources m_sources{m_system.Sources()};
    TTempFolder m_card;
    TTempFolder m_folder;
    TRecordedList m_list;
    TRecordingCatalog m_catalog;
};

using Rows = std::vector<std::string>;

} // namespace

TEST_F(CatalogTest, AFolderIsScannedSortedAcrossSubfoldersAndFiltered) {
    const Rows card = FillCard();
    Touch(m_card, "xyz_F_0006_20230514-075900.avi");
    Touch(m_card, "x.avi");
    EXPECT_TRUE(m_catalog.LoadFolder(m_card.Path()));
    EXPECT_EQ(m_list.rows, card) << "Unknown files are never rows";
    EXPECT_EQ(m_catalog.Entries().size(), 7u) << "but they are entries of the scan";
    EXPECT_EQ(m_list.currentRow, 0);
    EXPECT_TRUE(m_list.rebuilt);
    EXPECT_EQ(m_list.sourcePath, m_card.Path());
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());
}

TEST_F(CatalogTest, TheFilterTurnedOffAndOnAgainNeedsNoNewScan) {
    const Rows card = FillCard();
    m_catalog.LoadFolder(m_card.Path());
    // Gone from the disk, still in the last scan.
    fs::remove_all(m_card.File("DCIM"));

    m_catalog.KindFilter().Set(RecordingKind::Event, false);
    m_list.rebuilt = false;
    m_catalog.RebuildList();
    EXPECT_EQ(m_list.rows, (Rows{card[0], card[2], card[4]}));
    EXPECT_EQ(m_list.currentRow, 0);
    EXPECT_TRUE(m_list.rebuilt);

    m_catalog.KindFilter().Set(RecordingKind::Normal, false);
    m_catalog.KindFilter().Set(RecordingKind::Parking, false);
    m_catalog.RebuildList();
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_EQ(m_list.currentRow, -1);
    EXPECT_TRUE(m_list.rebuilt);

    m_catalog.KindFilter().Set(RecordingKind::Event, true);
    m_catalog.RebuildList();
    EXPECT_EQ(m_list.rows, (Rows{card[1], card[3]}));
    m_catalog.KindFilter() = TKindFilter();
    m_catalog.RebuildList();
    EXPECT_EQ(m_list.rows, card);
    EXPECT_EQ(m_list.clears, 1) << "filtering never clears the scan";
}

TEST_F(CatalogTest, AFolderThatCannotBeListedStillBecomesTheSourceAndItsCardIsRead) {
    FillCard();
    m_catalog.LoadFolder(m_card.Path());
    const std::string missing = m_folder.File("missing");
    EXPECT_FALSE(m_catalog.LoadFolder(missing));
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_TRUE(m_catalog.Entries().empty());
    EXPECT_EQ(m_list.currentRow, -1);
    EXPECT_EQ(m_catalog.SourcePath(), missing);
    EXPECT_EQ(m_list.sourcePath, missing);
}

TEST_F(CatalogTest, TheCardsModelNameIsRemembered) {
    TSetupImage("QRV-2CAM").WriteTo(m_card.File("setup.cfg"));
    EXPECT_TRUE(m_catalog.LoadFolder(m_card.Path()));
    EXPECT_EQ(StoredModelName(), "QRV-2CAM");
    EXPECT_EQ(Preferences().modelName, "QRV-2CAM");

    // A refused file and a missing one change nothing.
    TSetupImage image("ZX");
    image.Bytes()[100] ^= 0xFF;
    image.WriteTo(m_folder.File("setup.cfg"));
    m_catalog.LoadFolder(m_folder.Path());
    EXPECT_EQ(StoredModelName(), "QRV-2CAM");
    fs::remove(m_folder.File("setup.cfg"));
    m_catalog.LoadFolder(m_folder.Path());
    EXPECT_EQ(StoredModelName(), "QRV-2CAM");
    EXPECT_FALSE(RememberCardModel(m_folder.Path()));
}

TEST_F(CatalogTest, AutomaticLoadsTakeTheFirstRemovableDrive) {
    const Rows card = FillCard();
    EXPECT_EQ(FindRemovableDrive(), "");
    m_catalog.LoadSource(true);
    EXPECT_EQ(m_list.clears, 0) << "no drive: the list is left alone";
    EXPECT_EQ(m_catalog.SourcePath(), "");

    MountCard();
    EXPECT_EQ(FindRemovableDrive(), m_card.Path());
    m_catalog.LoadSource(true);
    EXPECT_EQ(m_list.rows, card);
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());
    EXPECT_TRUE(RecordedFolderPickers().empty());
}

TEST_F(CatalogTest, AnAutomaticLoadWithoutADriveKeepsTheRowsButNotTheSource) {
    Touch(m_folder, "inf_F_0001_20230514-080000.avi");
    m_catalog.LoadFolder(m_folder.Path());
    m_catalog.LoadSource(true);
    EXPECT_EQ(m_list.rows.size(), 1u);
    EXPECT_EQ(m_catalog.SourcePath(), "");
    EXPECT_EQ(m_list.sourcePath, "") << "the path area shows what the catalog holds";
}

TEST_F(CatalogTest, AClickWithoutASourceTriesTheDriveBeforeThePicker) {
    const Rows card = FillCard();
    MountCard();
    StartRecordingFolderPickers(m_folder.Path());
    m_catalog.LoadSource(false);
    EXPECT_TRUE(RecordedFolderPickers().empty());
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());
}

TEST_F(CatalogTest, AClickWithoutSourceOrDriveShowsThePicker) {
    const std::string file = Touch(m_folder, "sub/moe_F_0001_20230514-080000.avi");
    StartRecordingFolderPickers(m_folder.Path());
    m_catalog.LoadSource(false);
    std::vector<TFolderPickerCall> calls = RecordedFolderPickers();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].prompt, "Select SD-card or movie path.");
    EXPECT_EQ(calls[0].caption, "VELOR player");
    EXPECT_EQ(calls[0].initialFolder, "");
    EXPECT_EQ(calls[0].flags, BIF_STATUSTEXT | BIF_EDITBOX | BIF_VALIDATE);
    EXPECT_EQ(m_list.rows, Rows{file});
    EXPECT_EQ(m_catalog.SourcePath(), m_folder.Path());
}

TEST_F(CatalogTest, AClickWithASourceStartsThePickerThereAndACancelChangesNothing) {
    const Rows card = FillCard();
    MountCard();
    m_catalog.LoadSource(true);
    TSetupImage("QRV-1CAM").WriteTo(m_folder.File("setup.cfg"));
    StartRecordingFolderPickers("");
    const int clears = m_list.clears;
    m_catalog.LoadSource(false);
    std::vector<TFolderPickerCall> calls = RecordedFolderPickers();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].initialFolder, m_card.Path());
    EXPECT_EQ(m_list.rows, card);
    EXPECT_EQ(m_list.clears, clears);
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());
    EXPECT_NE(StoredModelName(), "QRV-1CAM");

    StartRecordingFolderPickers(m_folder.Path());
    m_catalog.LoadSource(false);
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_EQ(m_catalog.SourcePath(), m_folder.Path());
    EXPECT_EQ(StoredModelName(), "QRV-1CAM");
}

TEST_F(CatalogTest, RemovingTheCardStopsItsRecordingAndEmptiesItsList) {
    const Rows card = FillCard();
    MountCard();
    m_catalog.LoadSource(true);
    TFakePlayback playback;
    playback.stopped = false;
    playback.openPath = card[1];
    HandleDeviceChange(DBT_DEVICEREMOVECOMPLETE, m_card.Path(), m_catalog, &playback);
    EXPECT_EQ(playback.stops, 1);
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_EQ(m_list.currentRow, -1);
    EXPECT_FALSE(m_list.rebuilt);
    EXPECT_EQ(m_list.sourcePath, "");
    EXPECT_EQ(m_catalog.SourcePath(), "");
    EXPECT_TRUE(m_catalog.Entries().empty());
}

TEST_F(CatalogTest, RemovingAnotherVolumeTouchesNeitherPlaybackNorList) {
    Touch(m_folder, "inf_F_0001_20230514-080000.avi");
    m_catalog.LoadFolder(m_folder.Path());
    TFakePlayback playback;
    playback.stopped = false;
    playback.openPath = m_folder.File("inf_F_0001_20230514-080000.avi");
    // A sibling whose name merely begins like the folder's.
    HandleVolumeRemoval(m_folder.Path().substr(0, m_folder.Path().size() - 1), m_catalog,
                        &playback);
    HandleVolumeRemoval(m_card.Path(), m_catalog, &playback);
    EXPECT_EQ(playback.stops, 0);
    EXPECT_EQ(m_list.rows.size(), 1u);
    EXPECT_EQ(m_catalog.SourcePath(), m_folder.Path());
}

TEST_F(CatalogTest, AStoppedRecordingOnTheCardIsNotStoppedAgainAndTheListStillEmpties) {
    FillCard();
    m_catalog.LoadFolder(m_card.File("DCIM"));
    TFakePlayback playback;
    playback.openPath = m_card.File("EVT_F_0002_20230514-080100.avi");
    HandleVolumeRemoval(m_card.Path(), m_catalog, &playback);
    EXPECT_EQ(playback.stops, 0);
    EXPECT_EQ(m_catalog.SourcePath(), "") << "a source folder below the mount point goes too";
    HandleVolumeRemoval(m_card.Path(), m_catalog, nullptr);
}

TEST_F(CatalogTest, TheCardWatcherLoadsAnArrivingCardAndForgetsARemovedOne) {
    const Rows card = FillCard();
    UnmountCard();
    TFakePlayback playback;
    TCardWatcher watcher(m_catalog, &playback, m_system.Sources());
    watcher.CheckForChanges();
    EXPECT_EQ(m_list.clears, 0);

    MountCard();
    watcher.CheckForChanges();
    EXPECT_EQ(m_list.rows, card);
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());

    playback.stopped = false;
    playback.openPath = card[0];
    UnmountCard();
    watcher.CheckForChanges();
    EXPECT_EQ(playback.stops, 1);
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_EQ(m_catalog.SourcePath(), "");
}
