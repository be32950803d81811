// Face fallback over the families fontconfig knows (through Qt).

#include "platform/font_resolver.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <array>
#include <cstring>

namespace {

const QString kKoreanFamily = QStringLiteral("Noto Sans CJK KR");
const QString kThaiFamily = QStringLiteral("Noto Sans Thai");
const QString kLatinSansFamily = QStringLiteral("Noto Sans");
const QString kArialStandIn = QStringLiteral("Liberation Sans");

struct NarrowFace {
    const char* bytes; // code page 949
    const char16_t* name;
};

// The only non-ASCII faces the program names; a full code page 949 table
// is not worth carrying for three names.
constexpr std::array<NarrowFace, 3> kKoreanFaces{{
    {"\xB5\xB8\xBF\xF2", u"돋움"},
    {"\xB1\xBC\xB8\xB2", u"굴림"},
    {"\xB1\xBC\xB8\xB2\xC3\xBC", u"굴림체"},
}};

bool IsKoreanSystemFace(const QString& face) {
    static const QStringList names{QStringLiteral("돋움"),     QStringLiteral("굴림"),
                                   QStringLiteral("굴림체"),   QStringLiteral("돋움체"),
                                   QStringLiteral("Dotum"),    QStringLiteral("Gulim"),
                                   QStringLiteral("GulimChe"), QStringLiteral("DotumChe")};
    return names.contains(face, Qt::CaseInsensitive);
}

bool Installed(const QString& family) {
    return QFontDatabase::hasFamily(family);
}

QString InstalledSansSerif() {
    for (const QString& family : {kLatinSansFamily, QStringLiteral("DejaVu Sans"), kArialStandIn}) {
        if (Installed(family))
            return family;
    }
    QFont generic;
    generic.setStyleHint(QFont::SansSerif);
    generic.setFamily(QStringLiteral("sans-serif"));
    return QFontInfo(generic).family();
}

QStringList WithSans(QStringList families) {
    const QString sans = InstalledSansSerif();
    if (!families.contains(sans))
        families << sans;
    return families;
}

} // namespace

QStringList ResolveFontFamilies(const QString& face) {
    if (IsKoreanSystemFace(face) && !Installed(face))
        return WithSans({kKoreanFamily});
    if (face.compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0 && !Installed(face)) {
        return WithSans({kThaiFamily, kLatinSansFamily});
    }
    if (face.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0 && !Installed(face)) {
        return WithSans({kArialStandIn});
    }
    if (!face.isEmpty() && Installed(face))
        return WithSans({face});
    return {InstalledSansSerif()};
}

QFont ResolveFont(const QString& face, int pixelSize, int weight, bool italic) {
    QFont font;
    font.setFamilies(ResolveFontFamilies(face));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
    const int clamped = weight <= 0 ? QFont::Normal : (weight > 1000 ? 1000 : weight);
    font.setWeight(static_cast<QFont::Weight>(clamped));
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QString FaceFromNarrow(const char* face) {
    if (face == nullptr)
        return {};
    for (const NarrowFace& known : kKoreanFaces) {
        if (std::strcmp(face, known.bytes) == 0)
            return QString::fromUtf16(known.name);
    }
    return QString::fromUtf8(face);
}
