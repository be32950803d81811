// Files dropped from the desktop reach a window that accepts them as
// WM_DROPFILES with the local paths and the point; pop-up menus answer the
// chosen item or post it as WM_COMMAND; the Menu key is VK_APPS.

#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "platform/drop_files.h"
#include "platform/popup_menu.h"
#include "tests/platform/window_test_support.h"

namespace {

class WindowDropAndMenu : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    void TearDown() override {
        StopRecordingPopupMenus();
        PumpEvents();
    }
};

struct TDropSeen {
    std::vector<std::string> paths;
    POINT point;
    std::string cut;
};

} // namespace

TEST_F(WindowDropAndMenu, DroppedLocalPathsReachTheWindowThatAcceptsThem) {
    TProbe parentProbe, childProbe;
    HWND parent = MakeProbeWindow(&parentProbe, WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND child = MakeProbeWindow(&childProbe, WS_CHILD | WS_VISIBLE, 50, 40, 100, 100, parent);
    TDropSeen seen;
    parentProbe.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_DROPFILES)
            return std::nullopt;
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        const UINT count = DragQueryFileA(drop, DragFileCount, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::string path(DragQueryFileA(drop, i, nullptr, 0), '\0');
            DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
            seen.paths.push_back(path);
        }
        char cut[5];
        DragQueryFileA(drop, 0, cut, sizeof cut);
        seen.cut = cut;
        EXPECT_EQ(DragQueryFileA(drop, count, cut, sizeof cut), 0u);
        DragQueryPoint(drop, &seen.point);
        DragFinish(drop);
        return 0;
    };

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/media/card/DCIM"), QUrl("https://example.org/a.avi"),
                  QUrl::fromLocalFile("/tmp/NOR_20260101_120000_F.avi")});
    const auto dragOnto = [&](HWND window, QPoint at) {
        QWidget* widget = WidgetOfWindow(window);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &drop);
        return enter.isAccepted();
    };

    // Until it asks for drops, nothing is taken.
    EXPECT_FALSE(WidgetOfWindow(parent)->acceptDrops());
    DragAcceptFiles(parent, TRUE);
    EXPECT_TRUE(WidgetOfWindow(parent)->acceptDrops());
    EXPECT_FALSE(WidgetOfWindow(child)->acceptDrops());
    EXPECT_TRUE(dragOnto(parent, QPoint(20, 30)));
    EXPECT_EQ(seen.paths,
              (std::vector<std::string>{"/media/card/DCIM", "/tmp/NOR_20260101_120000_F.avi"}));
    EXPECT_EQ(seen.cut, "/med");
    EXPECT_EQ(seen.point.x, 20);
    EXPECT_EQ(seen.point.y, 30);

    // A drag of anything but local files is refused.
    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(WidgetOfWindow(parent), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(childProbe.Only({WM_DROPFILES}).empty());
    DestroyWindow(parent);
}

TEST_F(WindowDropAndMenu, PopupMenusAnswerOrPostTheChoiceAndTheMenuKeyIsVkApps) {
    TProbe probe;
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 11, "Play");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 12, "Delete");

    StartRecordingPopupMenus("Play");
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 30, 40, 0, window, nullptr), 11);
    StartRecordingPopupMenus("Delete"); // grayed: not choosable
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 30, 40, 0, window, nullptr), 0);
    StartRecordingPopupMenus("Play");
    EXPECT_EQ(TrackPopupMenu(menu, 0, 30, 40, 0, window, nullptr), TRUE);
    const std::vector<TPopupMenuCall> calls = RecordedPopupMenus();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].at.x, 30);
    ASSERT_EQ(calls[0].items.size(), 3u);
    EXPECT_TRUE(calls[0].items[1].separator);
    EXPECT_TRUE(calls[0].items[2].grayed);
    WPARAM command = 0;
    probe.handler = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND)
            command = wParam;
        if (message == WM_KEYDOWN)
            command = wParam;
        return std::nullopt;
    };
    EXPECT_TRUE(PumpUntil([&] { return command != 0; }));
    EXPECT_EQ(LOWORD(command), 11);
    EXPECT_TRUE(DestroyMenu(menu));

    command = 0;
    SetFocus(window);
    PostKey(window, Qt::Key_Menu);
    EXPECT_TRUE(PumpUntil([&] { return command != 0; }));
    EXPECT_EQ(command, VK_APPS);
    DestroyWindow(window);
}
