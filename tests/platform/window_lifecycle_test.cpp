#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "tests/platform/window_test_support.h"

namespace {

class WindowLifecycle : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
    void TearDown() override { PumpEvents(); }
};

TEST_F(WindowLifecycle, CreationAndDestructionMessagesComeInWin32Order) {
    std::vector<std::pair<char, UINT>> destroyed;
    TProbe parentProbe, childProbe, grandchildProbe;
    void* seenParam = nullptr;
    for (auto [probe, who] : {std::pair{&parentProbe, 'P'}, {&childProbe, 'C'}, {&grandchildProbe, 'G'}}) {
        probe->handler = [&, who](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_CREATE && who == 'P')
                seenParam = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
            if (message == WM_DESTROY || message == WM_NCDESTROY)
                destroyed.push_back({who, message});
            return std::nullopt;
        };
    }
    HWND parent = MakeProbeWindow(&parentProbe, WS_POPUP | WS_VISIBLE, 10, 10, 200, 200);
    HWND child = MakeProbeWindow(&childProbe, WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, parent);
    HWND grandchild = MakeProbeWindow(&grandchildProbe, WS_CHILD, 5, 5, 20, 20, child);
    ASSERT_TRUE(parent && child && grandchild);
    EXPECT_EQ(seenParam, &parentProbe);
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_TRUE(IsWindowVisible(parent));
    // The creation messages, in Win32 order, before anything else about it.
    const std::vector<UINT> created = parentProbe.Only({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW});
    ASSERT_GE(created.size(), 5u);
    EXPECT_EQ(std::vector<UINT>(created.begin(), created.begin() + 5),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));

    ASSERT_TRUE(DestroyWindow(parent));
    for (HWND window : {parent, child, grandchild})
        EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(parentProbe.messages.back(), WM_NCDESTROY);
    const std::vector<std::pair<char, UINT>> expected = {
        {'P', WM_DESTROY}, {'C', WM_DESTROY}, {'G', WM_DESTROY},
        {'G', WM_NCDESTROY}, {'C', WM_NCDESTROY}, {'P', WM_NCDESTROY}};
    EXPECT_EQ(destroyed, expected);
}

TEST_F(WindowLifecycle, CreateAnswerOfMinusOneFailsTheCreation) {
    TProbe probe;
    probe.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_CREATE ? std::optional<LRESULT>(-1) : std::nullopt;
    };
    EXPECT_EQ(MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50), nullptr);
    EXPECT_TRUE(probe.Only({WM_SHOWWINDOW}).empty());
    EXPECT_EQ(probe.messages.back(), WM_NCDESTROY);
}

TEST_F(WindowLifecycle, ClassesRegisterOnceWhateverTheCaseAndCopyIntoNewClasses) {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = ProbeProcedure;
    windowClass.lpszClassName = "__LifecycleClass__";
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    windowClass.lpszClassName = "__lifecycleclass__";
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);

    WNDCLASSEXA button;
    ASSERT_TRUE(GetClassInfoExA(nullptr, "BUTTON", &button));
    EXPECT_NE(button.lpfnWndProc, nullptr);
    EXPECT_TRUE(button.style & CS_DBLCLKS);
    EXPECT_FALSE(GetClassInfoExA(nullptr, "NoSuchClass", &button));
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

WNDPROC g_baseProcedure = nullptr;

LRESULT SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT base = CallWindowProcA(g_baseProcedure, window, message, wParam, lParam);
    return message == WM_USER + 7 ? base + 1 : base;
}

TEST_F(WindowLifecycle, WindowLongsKeepWhatIsStoredAndSubclassingChains) {
    TProbe probe, childProbe;
    HWND parent = MakeProbeWindow(&probe, WS_POPUP, 0, 0, 100, 100);
    HWND child = CreateWindowExA(0, "ProbeClass", "", WS_CHILD, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(117)), nullptr, &childProbe);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 117);
    EXPECT_EQ(GetDlgItem(parent, 117), child);
    EXPECT_EQ(GetDlgCtrlID(child), 117);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&childProbe));
    SetWindowLongPtrA(child, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
    // A style change alone does not show a window; ShowWindow does.
    SetWindowLongPtrA(child, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(SetWindowTextA(parent, "Progress"));
    char text[32];
    EXPECT_EQ(GetWindowTextA(parent, text, sizeof text), 8);
    EXPECT_STREQ(text, "Progress");
    EXPECT_EQ(FindWindowA(nullptr, "Progress"), parent);
    EXPECT_EQ(FindWindowA(nullptr, "Absent"), nullptr);

    probe.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        return message == WM_USER + 7 ? std::optional<LRESULT>(41) : std::nullopt;
    };
    g_baseProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProcedure)));
    EXPECT_EQ(g_baseProcedure, &ProbeProcedure);
    EXPECT_EQ(SendMessageA(parent, WM_USER + 7, 0, 0), 42);
    DestroyWindow(parent);
    EXPECT_EQ(FindWindowA(nullptr, "Progress"), nullptr);
}

} // namespace
