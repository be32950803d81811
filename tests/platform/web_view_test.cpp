#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/web_view.h"
#include "tests/platform/window_test_support.h"

namespace {

struct TSeen {
    std::vector<TWebNavigation> completed;
    int notAsked = 0;
};

std::string Evaluate(TWebView& view, const std::string& script) {
    std::string value;
    bool answered = false;
    EXPECT_TRUE(view.RunScript(script, [&](const std::string& result) {
        value = result;
        answered = true;
    }));
    EXPECT_TRUE(PumpUntil([&] { return answered; })) << script;
    return value;
}

} // namespace

TEST(WebView, WritesPagesRunsScriptsWithoutDialogsAndReportsNavigationsOfItsOwn) {
    EnsureTestApplication();
    TWebView view;
    EXPECT_FALSE(view.Create(nullptr, RECT{0, 0, 10, 10}));
    EXPECT_FALSE(view.RunScript("1"));
    EXPECT_EQ(view.Size().cx, 0);

    TProbe probe;
    HWND parent = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240);
    ASSERT_TRUE(view.Create(parent, RECT{10, 20, 210, 170}));
    EXPECT_EQ(view.Size().cx, 200);
    EXPECT_EQ(view.Size().cy, 150);
    TSeen seen;
    view.OnNavigationComplete([&](TWebNavigation how, bool) { seen.completed.push_back(how); });
    view.OnNavigationNotAsked([&] { ++seen.notAsked; });

    ASSERT_TRUE(view.Navigate("about:blank"));
    ASSERT_TRUE(PumpUntil([&] { return seen.completed.size() == 1; }));
    ASSERT_TRUE(view.WritePage("<html><body><p id='p'>written</p></body></html>",
                               TWebView::FileUrl("/tmp") + "/"));
    ASSERT_TRUE(PumpUntil([&] { return seen.completed.size() == 2; }));
    EXPECT_EQ(seen.completed,
              (std::vector<TWebNavigation>{TWebNavigation::Asked, TWebNavigation::Asked}));
    EXPECT_EQ(Evaluate(view, "document.getElementById('p').textContent"), "written");
    // Script dialogs answer at once, as cancelled, and show nothing.
    EXPECT_EQ(Evaluate(view, "alert('x'); String(confirm('y')) + prompt('z')"), "falsenull");

    view.RunScript("location.reload();");
    ASSERT_TRUE(PumpUntil([&] { return seen.completed.size() == 3; }));
    EXPECT_EQ(seen.notAsked, 1);
    EXPECT_EQ(seen.completed.back(), TWebNavigation::NotAsked);

    view.SetBounds(RECT{0, 0, 120, 90});
    EXPECT_EQ(view.Size().cx, 120);
    EXPECT_EQ(view.Size().cy, 90);
    EXPECT_EQ(TWebView::FileUrl("/a b/c.html"), "file:///a%20b/c.html");
    view.Close();
    EXPECT_FALSE(view.Created());
    DestroyWindow(parent);
}
