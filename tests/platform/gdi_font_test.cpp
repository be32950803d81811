// Face fallback: missing faces, the Korean and Thai faces and Arial resolve
// to installed fonts that carry the glyphs those languages need.

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>

#include <gtest/gtest.h>

#include "platform/font_resolver.h"

namespace {

bool SomeFamilyHas(const QStringList& families, char32_t character) {
    for (const QString& family : families) {
        QFont font(family);
        font.setPixelSize(16);
        if (QRawFont::fromFont(font).supportsCharacter(character)) return true;
    }
    return false;
}

TEST(FontFallback, MissingFaceBecomesAnInstalledSansSerifFamily) {
    const QStringList families = ResolveFontFamilies(QStringLiteral("No Such Face 12345"));
    ASSERT_FALSE(families.isEmpty());
    EXPECT_TRUE(QFontDatabase::hasFamily(families.front())) << families.front().toStdString();
    const QFont font = ResolveFont(QStringLiteral("No Such Face 12345"), 14, 400, false);
    EXPECT_TRUE(QFontDatabase::hasFamily(QFontInfo(font).family()));
    EXPECT_TRUE(SomeFamilyHas(families, U'A'));
}

TEST(FontFallback, KoreanSystemFacesResolveToTheKoreanNotoFace) {
    for (const QString& face : {QStringLiteral("돋움"), QStringLiteral("굴림"), QStringLiteral("굴림체")}) {
        const QStringList families = ResolveFontFamilies(face);
        ASSERT_FALSE(families.isEmpty());
        EXPECT_EQ(families.front(), QStringLiteral("Noto Sans CJK KR")) << face.toStdString();
        EXPECT_TRUE(SomeFamilyHas(families, U'돋'));
        // The same face serves the Japanese and Chinese texts.
        EXPECT_TRUE(SomeFamilyHas(families, U'再'));
        EXPECT_TRUE(SomeFamilyHas(families, U'あ'));
    }
    EXPECT_EQ(FaceFromNarrow("\xB1\xBC\xB8\xB2\xC3\xBC"), QStringLiteral("굴림체"));
    EXPECT_EQ(FaceFromNarrow("Arial"), QStringLiteral("Arial"));
}

TEST(FontFallback, TahomaCarriesThaiAndLatinAndArialIsLiberationSans) {
    const QStringList thai = ResolveFontFamilies(QStringLiteral("Tahoma"));
    ASSERT_FALSE(thai.isEmpty());
    EXPECT_TRUE(QFontDatabase::hasFamily(thai.front()));
    EXPECT_TRUE(SomeFamilyHas(thai, U'\u0E01'));
    EXPECT_TRUE(SomeFamilyHas(thai, U'A'));
    EXPECT_EQ(ResolveFontFamilies(QStringLiteral("Arial")).front(), QStringLiteral("Liberation Sans"));
}

TEST(FontFallback, WeightAndSizeAreKept) {
    const QFont bold = ResolveFont(QStringLiteral("Arial"), 13, 700, true);
    EXPECT_EQ(bold.pixelSize(), 13);
    EXPECT_TRUE(bold.bold());
    EXPECT_TRUE(bold.italic());
    EXPECT_FALSE(ResolveFont(QStringLiteral("Arial"), 13, 400, false).bold());
}

}  // namespace
