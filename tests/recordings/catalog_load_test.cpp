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

using Rows = std::vector<std::string>;

// What the list panel was told, as the panel would hold it.
class TRecordedList : public IRecordingListView {
public:
    void ClearRows() override {
        ++clears;
        rows.clear();
        currentRow = -1;
    }
    void ShowRows(const Rows& paths) override { rows = paths; }
    void SetCurrentRow(int row) override { currentRow = row; }
    void SetRebuilt(bool mark) override { rebuilt = mark; }
    void ShowSourcePath(const std::string& path) override { sourcePath = path; }

    Rows rows;
    int currentRow = -2;
    bool rebuilt = false;
    std::string sourcePath = "never shown";
    int clears = 0;
};

class TFakePlayback : public IPlaybackControl {
public:
    TFakePlayback(bool playing, std::string path) : stopped(!playing), openPath(std::move(path)) {}
    bool IsPlaybackStopped() const override { return stopped; }
    std::string OpenRecordingPath() const override { return openPath; }
    void StopPlayback() override {
        stopped = true;
        ++stops;
    }

    bool stopped;
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
    const LONG result =
        RegQueryValueExA(key, "ModelName", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
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

    static std::string Touch(const TTempFolder& folder, const std::string& relative) {
        const std::string path = folder.File(relative);
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream{path};
        return path;
    }
    void MountCard(bool mounted = true) const {
        const std::string card = TFakeVolumeSystem::MountLine("/dev/sdb1", m_card.Path());
        m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sda1", "/") +
                             (mounted ? card : ""));
    }
    // In list order: the names sort from their tenth character on, folders aside.
    Rows FillCard() const {
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

    // A folder that cannot be listed still becomes the source.
    const std::string missing = m_folder.File("missing");
    EXPECT_FALSE(m_catalog.LoadFolder(missing));
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_TRUE(m_catalog.Entries().empty());
    EXPECT_EQ(m_list.currentRow, -1);
    EXPECT_EQ(m_list.sourcePath, missing);
    EXPECT_EQ(m_catalog.SourcePath(), missing);
}

TEST_F(CatalogTest, TheFilterTurnedOffAndOnAgainNeedsNoNewScan) {
    const Rows card = FillCard();
    m_catalog.LoadFolder(m_card.Path());
    // Gone from the disk, still in the last scan.
    fs::remove_all(m_card.File("DCIM"));
    const struct {
        TKindFilter filter;
        Rows rows;
    } cases[] = {
        {{true, false, true}, {card[0], card[2], card[4]}},
        {{false, false, false}, {}},
        {{false, true, false}, {card[1], card[3]}},
        {{true, true, true}, card},
    };
    for (const auto& c : cases) {
        m_catalog.KindFilter() = c.filter;
        m_list.rebuilt = false;
        m_catalog.RebuildList();
        EXPECT_EQ(m_list.rows, c.rows);
        EXPECT_EQ(m_list.currentRow, c.rows.empty() ? -1 : 0);
        EXPECT_TRUE(m_list.rebuilt);
    }
    EXPECT_EQ(m_list.clears, 1) << "filtering never clears the scan";
}

TEST_F(CatalogTest, AutomaticLoadsTakeTheFirstRemovableDriveAndWithoutOneForgetTheSource) {
    Touch(m_folder, "inf_F_0001_20230514-080000.avi");
    m_catalog.LoadFolder(m_folder.Path());
    EXPECT_EQ(FindRemovableDrive(), "");
    m_catalog.LoadSource(true);
    EXPECT_EQ(m_list.clears, 1) << "no drive: the list is left alone";
    EXPECT_EQ(m_list.rows.size(), 1u);
    EXPECT_EQ(m_catalog.SourcePath(), "");
    EXPECT_EQ(m_list.sourcePath, "") << "the path area shows what the catalog holds";
    EXPECT_FALSE(RememberCardModel(m_folder.Path())) << "no setup.cfg";
    // With a card the watcher's test holds what is loaded.
    MountCard();
    EXPECT_EQ(FindRemovableDrive(), m_card.Path());
}

TEST_F(CatalogTest, AClickShowsThePickerAtTheSourceOrWithoutOneTriesTheDriveFirst) {
    const std::string file = Touch(m_folder, "sub/moe_F_0001_20230514-080000.avi");
    TSetupImage("QRV-1CAM").WriteTo(m_folder.File("setup.cfg"));
    StartRecordingFolderPickers(m_folder.Path());
    m_catalog.LoadSource(false);
    std::vector<TFolderPickerCall> calls = RecordedFolderPickers();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].initialFolder, "");
    EXPECT_EQ(m_list.rows, Rows{file});
    EXPECT_EQ(m_catalog.SourcePath(), m_folder.Path());
    EXPECT_EQ(StoredModelName(), "QRV-1CAM");

    // With a source the picker starts there, and a cancel changes nothing.
    const Rows card = FillCard();
    MountCard();
    StartRecordingFolderPickers("");
    m_catalog.LoadSource(false);
    calls = RecordedFolderPickers();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].initialFolder, m_folder.Path());
    EXPECT_EQ(m_list.rows, Rows{file});
    EXPECT_EQ(m_list.clears, 1);
    EXPECT_EQ(m_catalog.SourcePath(), m_folder.Path());

    m_catalog.ForgetSource();
    StartRecordingFolderPickers(m_folder.Path());
    m_catalog.LoadSource(false);
    EXPECT_TRUE(RecordedFolderPickers().empty());
    EXPECT_EQ(m_list.rows, card);
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());
}

TEST_F(CatalogTest, RemovingAVolumeStopsItsPlayingRecordingAndForgetsASourceOnIt) {
    const Rows card = FillCard();
    const std::string folderFile = Touch(m_folder, "inf_F_0001_20230514-080000.avi");
    const std::string sibling = m_folder.Path().substr(0, m_folder.Path().size() - 1);
    const struct {
        const char* what;
        std::string source;
        bool playing;
        std::string open;
        std::string removed;
        int stops;
        bool forgotten;
    } cases[] = {
        {"the card, playing", m_card.Path(), true, card[1], m_card.Path(), 1, true},
        {"the card, stopped", m_card.File("DCIM"), false, card[1], m_card.Path(), 0, true},
        {"a sibling of the folder", m_folder.Path(), true, folderFile, sibling, 0, false},
        {"another volume", m_folder.Path(), true, folderFile, m_card.Path(), 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_catalog.LoadFolder(c.source);
        TFakePlayback playback(c.playing, c.open);
        HandleDeviceChange(DBT_DEVICEREMOVECOMPLETE, c.removed, m_catalog, &playback);
        EXPECT_EQ(playback.stops, c.stops);
        EXPECT_EQ(m_catalog.SourcePath(), c.forgotten ? "" : c.source);
        EXPECT_EQ(m_list.rows.empty(), c.forgotten);
        EXPECT_EQ(m_catalog.Entries().empty(), c.forgotten);
        if (c.forgotten) {
            EXPECT_EQ(m_list.currentRow, -1);
            EXPECT_FALSE(m_list.rebuilt);
            EXPECT_EQ(m_list.sourcePath, "");
        }
    }
    HandleVolumeRemoval(m_folder.Path(), m_catalog, nullptr);
    EXPECT_EQ(m_catalog.SourcePath(), "") << "without playback the list still empties";
}

TEST_F(CatalogTest, TheCardWatcherLoadsAnArrivingCardAndForgetsARemovedOne) {
    const Rows card = FillCard();
    MountCard(false);
    TFakePlayback playback(false, "");
    TCardWatcher watcher(m_catalog, &playback, m_system.Sources());
    watcher.CheckForChanges();
    EXPECT_EQ(m_list.clears, 0);

    MountCard();
    watcher.CheckForChanges();
    EXPECT_EQ(m_list.rows, card);
    EXPECT_EQ(m_catalog.SourcePath(), m_card.Path());

    playback.stopped = false;
    playback.openPath = card[0];
    MountCard(false);
    watcher.CheckForChanges();
    EXPECT_EQ(playback.stops, 1);
    EXPECT_TRUE(m_list.rows.empty());
    EXPECT_EQ(m_catalog.SourcePath(), "");
}
