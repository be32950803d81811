// The application and GDI+ session every drawing test needs (fonts and
// painting want a QGuiApplication), and face fallback: missing faces, the Korean and
// Thai faces and Arial resolve to installed fonts that carry the glyphs
// those languages need.

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QRawFont>

#include <gtest/gtest.h>

#include <memory>

#include "platform/font_resolver.h"
#include "platform/gdiplus.h"

namespace {

class GuiEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "platform_drawing_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override {
        Gdiplus::GdiplusShutdown(token_);
        app_.reset();
    }

private:
    std::unique_ptr<QGuiApplication> app_;
    ULONG_PTR token_ = 0;
};

[[maybe_unused]] testing::Environment* const kGui =
    testing::AddGlobalTestEnvironment(new GuiEnvironment);

bool SomeFamilyHas(const QStringList& families, char32_t character) {
    for (const QString& family : families) {
        QFont font(family);
        font.setPixelSize(16);
        if (QRawFont::fromFont(font).supportsCharacter(character))
            return true;
    }
    return false;
}

TEST(FontFallback, FacesResolveToInstalledFamiliesThatCarryTheirLanguagesGlyphs) {
    // Without fontconfig behind Qt every face would silently be the same
    // built-in one and these checks would mean nothing.
    ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK KR")));
    ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")));
    const QStringList missing = ResolveFontFamilies(QStringLiteral("No Such Face 12345"));
    ASSERT_FALSE(missing.isEmpty());
    EXPECT_TRUE(QFontDatabase::hasFamily(missing.front())) << missing.front().toStdString();
    EXPECT_TRUE(QFontDatabase::hasFamily(
        QFontInfo(ResolveFont(QStringLiteral("No Such Face 12345"), 14, 400, false)).family()));
    EXPECT_TRUE(SomeFamilyHas(missing, U'A'));

    // One Korean face serves the Japanese and Chinese texts too.
    for (const QString& face :
         {QStringLiteral("돋움"), QStringLiteral("굴림"), QStringLiteral("굴림체")}) {
        const QStringList families = ResolveFontFamilies(face);
        ASSERT_FALSE(families.isEmpty());
        EXPECT_EQ(families.front(), QStringLiteral("Noto Sans CJK KR")) << face.toStdString();
        for (char32_t character : {U'돋', U'再', U'あ'})
            EXPECT_TRUE(SomeFamilyHas(families, character));
    }
    EXPECT_EQ(FaceFromNarrow("\xB1\xBC\xB8\xB2\xC3\xBC"), QStringLiteral("굴림체"));

    const QStringList thai = ResolveFontFamilies(QStringLiteral("Tahoma"));
    ASSERT_FALSE(thai.isEmpty());
    EXPECT_TRUE(SomeFamilyHas(thai, U'\u0E01'));
    EXPECT_TRUE(SomeFamilyHas(thai, U'A'));
    EXPECT_EQ(ResolveFontFamilies(QStringLiteral("Arial")).front(),
              QStringLiteral("Liberation Sans"));
    const QFont bold = ResolveFont(QStringLiteral("Arial"), 13, 700, true);
    EXPECT_EQ(bold.pixelSize(), 13);
    EXPECT_TRUE(bold.bold() && bold.italic());
    EXPECT_FALSE(ResolveFont(QStringLiteral("Arial"), 13, 400, false).bold());
}

} // namespace
