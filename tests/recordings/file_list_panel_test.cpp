// The recording list panel over a card of fixture recordings: stepping
// through the rows, the kind filters, opening, deleting and choosing the
// source, driven through the panel's own messages.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/message_box.h"
#include "platform/popup_menu.h"
#include "platform/shell_dialogs.h"
#include "platform/ui_support_shell.h"
#include "recordings/file_list_panel.h"
#include "tests/fixtures/recording_writer.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/memory_dc_man.h"

namespace fs = std::filesystem;

namespace {

using Rows = std::vector<std::string>;

// In list order.
constexpr const char* CardNames[] = {
    "INF_REC_00_20260314_080000.avi", "EVT_REC_00_20260314_080412.avi",
    "INF_REC_00_20260314_081000.avi", "MOE_REC_00_20260314_082000.avi",
    "MAN_REC_00_20260314_083000.avi",
};

class TFakePlayback : public IPlaybackControl {
public:
    bool IsPlaybackStopped() const override { return openPath.empty(); }
    std::string OpenRecordingPath() const override { return openPath; }
    void StopPlayback() override { openPath.clear(); }
    std::string openPath;
};

// The main window as the panel sees it: it keeps what it is asked to open.
class TOwner : public TWnd {
public:
    TOwner() {
        EnsureUiApplication();
        SetClassName("__ListPanelOwner__");
        RegisterWindowClass(className, BoundWindowProcedure);
        CreateBoundWindow(this, WS_POPUP | WS_VISIBLE, RECT{0, 0, 297, 521}, nullptr);
    }
    ~TOwner() override { DestroyWindow(hWnd); }
    Rows opened;

private:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM lParam, bool* handled) override {
        *handled = message == WM_OPEN_RECORDING || message == WM_EXPORT_TRACK;
        if (message == WM_OPEN_RECORDING)
            opened.push_back(reinterpret_cast<const char*>(lParam));
        if (message == WM_EXPORT_TRACK)
            exported.push_back(reinterpret_cast<const char*>(lParam));
        return *handled;
    }

public:
    Rows exported;
};

class FileListPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadStringTable("english"));
        CreateLanguageFonts("english");
        HDC screen = GetDC(nullptr);
        ASSERT_TRUE(LoadSharedSkin(screen));
        ReleaseDC(nullptr, screen);
        m_set = std::make_unique<TPanelSet>(m_owner.hWnd);
        auto info = std::make_unique<TPanelInfo>();
        info->panelId = FileListPanelId;
        auto panel = std::make_unique<CFileListPanel>();
        m_panel = panel.get();
        info->panel = std::move(panel);
        ASSERT_TRUE(m_set->AddPanel(std::move(info)));
        m_panel->SetOwner(m_owner.hWnd);
        m_panel->SetPlayback(&m_playback);
        m_panel->SetMessageBox([this](HWND, const char* text, const char*, UINT style) {
            m_shown.push_back(text);
            return style == MB_YESNO ? m_answer : IDOK;
        });
    }
    void TearDown() override { StopRecordingFolderPickers(); }

    Rows WriteCard(std::size_t count = std::size(CardNames)) {
        velor::fixtures::RecordingOptions options;
        options.channels = 1;
        options.seconds = 1;
        options.width = 64;
        options.height = 36;
        options.sound = false;
        options.telemetry = false;
        Rows rows;
        for (std::size_t i = 0; i < count; ++i) {
            rows.push_back(m_card.File(CardNames[i]));
            std::string error;
            EXPECT_TRUE(velor::fixtures::WriteRecording(rows.back(), options, &error)) << error;
        }
        return rows;
    }
    Rows ShownRows() const {
        Rows rows;
        for (int row = 0; row < m_panel->RowCount(); ++row)
            rows.push_back(m_panel->PathAt(row));
        EXPECT_EQ(m_panel->List().ItemCount(), m_panel->RowCount());
        return rows;
    }
    void Command(int id) {
        HWND button = GetDlgItem(m_panel->hWnd, id);
        SendMessageA(m_panel->hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
    bool Shown(int id) const { return IsWindowVisible(GetDlgItem(m_panel->hWnd, id)); }
    void PressDelete(int row) {
        m_panel->List().SelectRow(row);
        SendMessageA(m_panel->List().hWnd, WM_KEYDOWN, VK_DELETE, 0);
    }
    static std::string Text(const char* key) {
        std::string text;
        GetString(key, &text, nullptr);
        return text;
    }

    TTempFolder m_card;
    TOwner m_owner;
    std::unique_ptr<TPanelSet> m_set;
    CFileListPanel* m_panel = nullptr;
    TFakePlayback m_playback;
    Rows m_shown;
    int m_answer = IDYES;
};

// Previous and next right after a rebuild, at both ends and with one row.
TEST_F(FileListPanelTest, PreviousAndNextStepThroughTheRowsAndStopAtBothEnds) {
    const Rows card = WriteCard();
    m_panel->Catalog().LoadFolder(m_card.Path());
    ASSERT_EQ(ShownRows(), card);
    std::string path;
    EXPECT_EQ(m_panel->PreviousPath(&path), -1) << "right after a rebuild";
    EXPECT_EQ(path, "");
    EXPECT_EQ(m_panel->NextPath(&path), 0) << "the first step after a rebuild goes to row 0";
    EXPECT_EQ(path, card[0]);
    for (int row = 1; row < 5; ++row) {
        EXPECT_EQ(m_panel->NextPath(&path), row);
        EXPECT_EQ(path, card[row]);
        EXPECT_EQ(m_panel->List().SelectedRow(), row);
    }
    EXPECT_EQ(m_panel->NextPath(&path), -1) << "past the last row";
    EXPECT_EQ(m_panel->List().SelectedRow(), 4) << "the selection stays";
    EXPECT_EQ(m_panel->PreviousPath(&path), 3);
    EXPECT_EQ(path, card[3]);
    m_panel->List().SelectRow(1);
    EXPECT_EQ(m_panel->SelectedPath(&path), 1);
    EXPECT_EQ(m_panel->PreviousPath(&path), 0);
    EXPECT_EQ(m_panel->PreviousPath(&path), -1) << "before row 0";

    // One row: next has nowhere to go even right after the rebuild.
    for (int id : {EventOnId, ParkingOnId})
        Command(id);
    fs::remove(card[2]);
    m_panel->Catalog().LoadFolder(m_card.Path());
    ASSERT_EQ(ShownRows(), Rows{card[0]});
    EXPECT_EQ(m_panel->NextPath(&path), -1);
    EXPECT_EQ(m_panel->PreviousPath(&path), -1);

    // Nothing at all.
    Command(NormalOnId);
    EXPECT_EQ(m_panel->RowCount(), 0);
    EXPECT_EQ(m_panel->NextPath(&path), NoRows);
    EXPECT_EQ(m_panel->SelectedPath(&path), -1);
    m_panel->SetRebuilt(false);
    EXPECT_EQ(m_panel->PreviousPath(&path), NoRows);
}

// Each kind switched off and on again brings its rows back in their order,
// row 0 selected each time; the filter buttons trade places.
TEST_F(FileListPanelTest, SwitchingAKindOffAndOnRestoresTheRowsInOrder) {
    const Rows card = WriteCard();
    m_panel->Catalog().LoadFolder(m_card.Path());
    const struct {
        int off;
        int on;
        Rows without;
    } kinds[] = {
        {NormalOnId, NormalOffId, {card[1], card[3], card[4]}},
        {EventOnId, EventOffId, {card[0], card[2], card[3]}},
        {ParkingOnId, ParkingOffId, {card[0], card[1], card[2], card[4]}},
    };
    for (const auto& kind : kinds) {
        Command(kind.off);
        EXPECT_EQ(ShownRows(), kind.without);
        EXPECT_FALSE(Shown(kind.off));
        EXPECT_TRUE(Shown(kind.on));
        EXPECT_EQ(m_panel->List().SelectedRow(), 0);
        Command(kind.on);
        EXPECT_EQ(ShownRows(), card);
        EXPECT_TRUE(Shown(kind.off));
        EXPECT_FALSE(Shown(kind.on));
        EXPECT_EQ(m_panel->List().SelectedRow(), 0);
        EXPECT_TRUE(m_panel->Rebuilt());
    }
}

// A double-click asks the owner to open the row; below the rows nothing.
TEST_F(FileListPanelTest, ADoubleClickedRowIsOpenedByTheOwner) {
    const Rows card = WriteCard(3);
    m_panel->Catalog().LoadFolder(m_card.Path());
    const HWND list = m_panel->List().hWnd;
    const int rowHeight = RecordingListRowHeight;
    SendMessageA(list, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, rowHeight + rowHeight / 2));
    SendMessageA(list, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, rowHeight * 10));
    EXPECT_EQ(m_owner.opened, Rows{card[1]});
    EXPECT_EQ(m_panel->CurrentRow(), 1);
    EXPECT_FALSE(m_panel->Rebuilt());
    std::string path;
    EXPECT_EQ(m_panel->NextPath(&path), 2) << "stepping goes on from the opened row";
}

// Delete asks first, refuses the open recording, removes only the file of
// its row, and keeps the row of a file the card refuses to give up.
TEST_F(FileListPanelTest, DeleteRemovesOneRecordingAndRefusesWhatItMust) {
    const Rows card = WriteCard(3);
    const fs::path bystander = m_card.File("INF_REC_00_20260314_080000.idx");
    std::ofstream{bystander} << "kept";
    m_panel->Catalog().LoadFolder(m_card.Path());

    m_answer = IDNO;
    PressDelete(0);
    EXPECT_EQ(m_shown, Rows{Text(DeleteVideoConfirmKey)});
    EXPECT_TRUE(fs::exists(card[0]));

    m_answer = IDYES;
    m_shown.clear();
    m_playback.openPath = card[1];
    PressDelete(1);
    EXPECT_EQ(m_shown, (Rows{Text(DeleteVideoConfirmKey), Text(DeleteVideoErrorKey)}));
    EXPECT_TRUE(fs::exists(card[1]));
    EXPECT_EQ(m_panel->RowCount(), 3);

    // The card will not let go of this one: a folder stands where the file was.
    m_playback.openPath.clear();
    m_shown.clear();
    fs::remove(card[2]);
    fs::create_directory(card[2]);
    std::ofstream{card[2] + "/inside"};
    PressDelete(2);
    EXPECT_EQ(m_shown, (Rows{Text(DeleteVideoConfirmKey), Text(DeleteVideoFailedKey)}));
    EXPECT_EQ(ShownRows(), card);
    fs::remove_all(card[2]);
    std::ofstream{card[2]};

    // No row selected: nothing goes.
    PressDelete(-1);
    EXPECT_EQ(m_panel->RowCount(), 3);

    for (int left = 2; left >= 0; --left) {
        PressDelete(0);
        EXPECT_EQ(m_panel->RowCount(), left);
        EXPECT_FALSE(fs::exists(card[2 - left]));
    }
    EXPECT_EQ(m_panel->CurrentRow(), -1);
    EXPECT_EQ(m_panel->List().ItemCount(), 0);
    EXPECT_TRUE(fs::exists(bystander));
    // A deleted recording stays gone when the filter rebuilds the list.
    Command(NormalOnId);
    Command(NormalOffId);
    EXPECT_EQ(m_panel->RowCount(), 0);
}

// While a recording plays the path area refuses with "message.stop_movie";
// stopped, a click there picks the folder, and a click beside it does not.
TEST_F(FileListPanelTest, TheSourceIsChosenOnlyWhileNothingPlays) {
    const Rows card = WriteCard(2);
    const RECT area = m_panel->PathArea();
    const LPARAM inside = MAKELPARAM(area.left + 10, area.top + 5);
    const LPARAM beside = MAKELPARAM(area.left + 10, area.bottom + 2);
    int closes = 0;
    m_panel->SetBeforeSourceChoice([&] { ++closes; });
    // With a source the click goes straight to the folder picker.
    TTempFolder before;
    m_panel->Catalog().LoadFolder(before.Path());
    StartRecordingFolderPickers(m_card.Path());

    m_playback.openPath = "/elsewhere/INF_REC_00_20260314_070000.avi";
    SendMessageA(m_panel->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    EXPECT_EQ(m_shown, Rows{Text(StopMovieKey)});
    EXPECT_NE(Text(StopMovieKey), "");
    EXPECT_EQ(closes, 0);
    EXPECT_EQ(m_panel->RowCount(), 0);

    m_playback.openPath.clear();
    SendMessageA(m_panel->hWnd, WM_LBUTTONDOWN, MK_LBUTTON, beside);
    EXPECT_EQ(m_panel->RowCount(), 0);
    SendMessageA(m_panel->hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(ShownRows(), card);
    EXPECT_EQ(m_panel->Catalog().SourcePath(), m_card.Path());
    EXPECT_EQ(m_shown.size(), 1u);
}

} // namespace

// The context menu comes on the row under the right button or, from the
// Menu key, on the selected row; each item does its own thing to that row.
TEST_F(FileListPanelTest, TheContextMenuPlaysShowsExportsAndDeletesItsRow) {
    const Rows card = WriteCard(3);
    m_panel->Catalog().LoadFolder(m_card.Path());
    const HWND list = m_panel->List().hWnd;
    const int rowHeight = RecordingListRowHeight;
    const auto rightClick = [&](int row, const char* item) {
        StartRecordingPopupMenus(Text(item));
        const LPARAM at = MAKELPARAM(20, rowHeight * row + rowHeight / 2);
        SendMessageA(list, WM_RBUTTONDOWN, 0, at);
        SendMessageA(list, WM_RBUTTONUP, 0, at);
        StopRecordingPopupMenus();
        return RecordedPopupMenus();
    };

    Rows texts;
    for (const TPopupMenuCall& menu : rightClick(1, MenuPlayKey))
        for (const TPopupMenuItem& item : menu.items)
            texts.push_back(item.text);
    EXPECT_EQ(texts, (Rows{Text(MenuPlayKey), Text(MenuOpenFolderKey), Text(MenuExportTrackKey), "",
                           Text(MenuDeleteKey)}));
    EXPECT_EQ(m_owner.opened, Rows{card[1]});
    EXPECT_EQ(m_panel->List().SelectedRow(), 1);

    rightClick(2, MenuExportTrackKey);
    EXPECT_EQ(m_owner.exported, Rows{card[2]});

    StartRecordingShellOpens();
    rightClick(0, MenuOpenFolderKey);
    StopRecordingShellOpens();
    EXPECT_EQ(RecordedShellOpens(), Rows{"/select,\"" + card[0] + "\""});

    // Below the last row there is no row to act on.
    EXPECT_TRUE(rightClick(7, MenuPlayKey).empty());

    // The Menu key, on the selected row.
    m_panel->List().SelectRow(2);
    StartRecordingPopupMenus(Text(MenuDeleteKey));
    SendMessageA(list, WM_KEYDOWN, VK_APPS, 0);
    StopRecordingPopupMenus();
    EXPECT_EQ(m_shown, Rows{Text(DeleteVideoConfirmKey)});
    EXPECT_FALSE(fs::exists(card[2]));
    EXPECT_EQ(ShownRows(), (Rows{card[0], card[1]}));
    EXPECT_EQ(m_owner.opened, Rows{card[1]}) << "only Play opens";
}
