#include <gtest/gtest.h>

#include <cstdlib>

#include "language/language_fonts.h"
#include "platform/application.h"

namespace {

struct TFontLook {
    std::wstring face;
    LONG height = 0;
};

TFontLook LookOf(HFONT font) {
    LOGFONTW description;
    TFontLook look;
    if (!font || GetObjectW(font, sizeof description, &description) != sizeof description)
        return look;
    look.face = description.lfFaceName;
    look.height = description.lfHeight;
    return look;
}

class LanguageFontsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Fonts need no display; keep a platform the caller chose.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "language_fonts_test";
        static char* argv[] = {name, nullptr};
        s_application = new TApplication(argc, argv);
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
    }
    static void TearDownTestSuite() {
        Gdiplus::GdiplusShutdown(s_token);
        delete s_application;
    }
    void TearDown() override { ReleaseLanguageFonts(true); }

    static TApplication* s_application;
    static ULONG_PTR s_token;
};

TApplication* LanguageFontsTest::s_application = nullptr;
ULONG_PTR LanguageFontsTest::s_token = 0;

} // namespace

TEST_F(LanguageFontsTest, ThaiSwitchesTheRebuiltFontsAndTheOnceBuiltKeepTheirFaces) {
    CreateLanguageFonts("english");
    LanguageFonts& fonts = SharedFonts();
    EXPECT_EQ(LookOf(fonts.control).face, L"돋움");
    EXPECT_EQ(LookOf(fonts.control).height, 12);
    EXPECT_EQ(LookOf(fonts.picker).face, L"굴림");
    EXPECT_EQ(LookOf(fonts.picker).height, 9);
    EXPECT_EQ(LookOf(fonts.dialog).face, L"굴림체");
    EXPECT_EQ(LookOf(fonts.listGdi).height, 11);
    ASSERT_TRUE(fonts.caption && fonts.label && fonts.list && fonts.readOut);
    EXPECT_EQ(fonts.caption->GetStyle(), Gdiplus::FontStyleBold);
    EXPECT_EQ(fonts.caption->GetUnit(), Gdiplus::UnitPixel);
    EXPECT_FLOAT_EQ(fonts.label->GetSize(), 12.0f);
    const HFONT listGdi = fonts.listGdi;
    const Gdiplus::Font* list = fonts.list.get();
    const Gdiplus::Font* readOut = fonts.readOut.get();

    CreateLanguageFonts("Thai");
    EXPECT_EQ(LookOf(fonts.control).face, L"Tahoma");
    EXPECT_EQ(LookOf(fonts.control).height, 13);
    EXPECT_EQ(LookOf(fonts.smallControl).face, L"Tahoma");
    EXPECT_EQ(LookOf(fonts.smallControl).height, 12);
    EXPECT_EQ(LookOf(fonts.picker).face, L"Tahoma");
    EXPECT_EQ(LookOf(fonts.picker).height, 10);
    EXPECT_FLOAT_EQ(fonts.caption->GetSize(), 13.0f);
    EXPECT_FLOAT_EQ(fonts.label->GetSize(), 13.0f);
    // Made once: still the fonts of the first language.
    EXPECT_EQ(fonts.listGdi, listGdi);
    EXPECT_EQ(LookOf(fonts.listGdi).face, L"돋움");
    EXPECT_EQ(LookOf(fonts.dialog).face, L"굴림체");
    EXPECT_EQ(fonts.list.get(), list);
    EXPECT_FLOAT_EQ(fonts.list->GetSize(), 11.0f);
    EXPECT_EQ(fonts.readOut.get(), readOut);
}

TEST_F(LanguageFontsTest, APartialReleaseKeepsTheOnceBuiltFonts) {
    CreateLanguageFonts("thai");
    LanguageFonts& fonts = SharedFonts();
    ReleaseLanguageFonts(false);
    EXPECT_EQ(fonts.control, nullptr);
    EXPECT_EQ(fonts.picker, nullptr);
    EXPECT_EQ(fonts.caption, nullptr);
    EXPECT_EQ(fonts.label, nullptr);
    ASSERT_NE(fonts.listGdi, nullptr);
    ASSERT_NE(fonts.dialog, nullptr);
    ASSERT_NE(fonts.readOut, nullptr);

    ReleaseLanguageFonts(true);
    EXPECT_EQ(fonts.listGdi, nullptr);
    EXPECT_EQ(fonts.list, nullptr);
    CreateLanguageFonts("korean");
    EXPECT_EQ(LookOf(fonts.listGdi).face, L"돋움");
    EXPECT_EQ(LookOf(fonts.dialog).height, 11);
}
