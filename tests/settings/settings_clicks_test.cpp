// The camera settings dialog under the test X server, worked with real
// clicks (xdotool): a setup.cfg edited through its drop-down list and saved
// passes the camera's CRC and differs from the original only in the edited
// field.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/ui_support_controls.h"
#include "settings/blackbox_setup_dlg.h"
#include "tests/settings/settings_dialog_harness.h"

namespace {

constexpr int kEditedRow = 0; // front picture quality on every model's list
constexpr int kListRowHeight = 18;

// Clicks run beside the dialog's loop, each xdotool call finding the dialog
// window by its title and clicking at a point of it.
class TClicker {
public:
    ~TClicker() {
        for (std::thread& click : m_clicks)
            click.join();
    }
    // Whether the last click's xdotool is still running.
    bool Busy() const { return m_running.load(); }
    void Click(HWND dialog, POINT screenPoint) {
        RECT frame;
        GetWindowRect(dialog, &frame);
        char title[256] = {};
        GetWindowTextA(dialog, title, sizeof title);
        const std::string command = std::string("xdotool search --sync --onlyvisible --name '^") +
                                    title + "$' mousemove --window %1 " +
                                    std::to_string(screenPoint.x - frame.left) + " " +
                                    std::to_string(screenPoint.y - frame.top) + " click 1";
        m_running = true;
        m_clicks.emplace_back([this, command] {
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
            m_running = false;
        });
    }

private:
    std::vector<std::thread> m_clicks;
    std::atomic<bool> m_running{false};
};

POINT CentreOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::size_t OffsetOf(const char* key) {
    CameraSettingsRecord record;
    const ModelInfo* model = FindModelInfo(CameraSettings().modelName);
    for (const TSettingSpan& span : SettingSpans(record, model->layout)) {
        if (span.key && std::string(span.key) == key)
            return span.offset;
    }
    return 0;
}

} // namespace

TEST(CameraSettingsClicks, AnEditedAndSavedFileChangesOnlyInTheEditedField) {
    TSettingsWorld world;
    const std::vector<std::uint8_t> original = world.WriteCard("QRV-2CAM");
    TClicker clicker;
    TGenComboBox* combo = nullptr;
    int chosen = 0;
    // A click on a list row can come before the list is on the screen and
    // close it instead: the list is then opened again.
    enum class TWaitFor { Nothing, ListOpen, ListClosed } waitFor = TWaitFor::Nothing;
    TModalSteps steps({
        [&](HWND dialog) {
            auto* setup = dynamic_cast<CBlackboxSetupDlg*>(WindowObject(dialog));
            combo = setup->DefaultPanel()->Controls().Combo(kEditedRow);
            chosen = (combo->SelectedIndex() + 1) % 3;
            return true;
        },
        [&](HWND dialog) {
            if (clicker.Busy() || (waitFor == TWaitFor::ListOpen && !combo->ListOpen()) ||
                (waitFor == TWaitFor::ListClosed && combo->ListOpen()))
                return false;
            if (!combo->ListOpen() && combo->SelectedIndex() == chosen)
                return true;
            if (!combo->ListOpen()) {
                RECT field;
                GetWindowRect(combo->hWnd, &field);
                clicker.Click(dialog, POINT{field.right - 10, (field.top + field.bottom) / 2});
                waitFor = TWaitFor::ListOpen;
                return false;
            }
            RECT list;
            GetWindowRect(combo->ListBox(), &list);
            // The list shows the chosen row scrolled to its top when it is short.
            const auto top = static_cast<int>(SendMessageA(combo->ListBox(), LB_GETTOPINDEX, 0, 0));
            clicker.Click(dialog,
                          POINT{(list.left + list.right) / 2,
                                list.top + (chosen - top) * kListRowHeight + kListRowHeight / 2});
            waitFor = TWaitFor::ListClosed;
            return false;
        },
        [&](HWND dialog) {
            if (clicker.Busy())
                return false;
            clicker.Click(dialog, CentreOf(GetDlgItem(dialog, IDOK)));
            return true;
        },
    });
    EXPECT_EQ(ShowCameraSettingsDialog(nullptr, world.Card()), TCameraSettingsOutcome::Saved);
    ASSERT_TRUE(steps.AllRan());

    const std::vector<std::uint8_t> saved = TSetupImage::ReadFrom(world.CardFile());
    EXPECT_TRUE(TSetupImage::CrcMatches(saved));
    const std::size_t field = OffsetOf("front_quality");
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < kSetupDataSize; ++i) {
        if (saved[i] != original[i])
            changed.push_back(i);
    }
    ASSERT_FALSE(changed.empty());
    EXPECT_GE(changed.front(), field);
    EXPECT_LT(changed.back(), field + 4);
    const SettingsItem& item = SettingsItems()[1];
    EXPECT_EQ(TSetupImage::At(saved, field), item.choices[static_cast<std::size_t>(chosen)].value);
}
