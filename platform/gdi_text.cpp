// GDI fonts and text: creation by face and height, colours and background
// mode, DrawText with its formats, extents and metrics.

#include <QFontMetrics>
#include <QPainter>

#include <cstring>
#include <cwchar>

#include "platform/font_resolver.h"
#include "platform/gdi_objects.h"

namespace {

constexpr int kDefaultEmPixels = 12;
// Everything DrawText measures without a width to wrap at fits in this.
constexpr int kUnboundedExtent = 1 << 20;

// A positive height asks for a cell (ascent + descent) of that many pixels.
// The stand-in faces have taller cells than the faces the program's heights
// were chosen for, so the cell is read with the original face's proportion
// where it is known; that keeps the text the size it was meant to be.
double CellToEmRatio(const QString& face, const QFont& resolved) {
    static const QStringList korean{QStringLiteral("돋움"),   QStringLiteral("굴림"),
                                    QStringLiteral("굴림체"), QStringLiteral("Dotum"),
                                    QStringLiteral("Gulim"),  QStringLiteral("GulimChe")};
    if (korean.contains(face, Qt::CaseInsensitive))
        return 1.0;
    if (face.compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0)
        return 1.207;
    if (face.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0)
        return 1.149;
    QFont probe = resolved;
    probe.setPixelSize(100);
    return QFontMetrics(probe).height() / 100.0;
}

int EmPixels(LONG height, const QString& face, const QFont& resolved) {
    if (height == 0)
        return kDefaultEmPixels;
    if (height < 0)
        return -height;
    const int em = static_cast<int>(height / CellToEmRatio(face, resolved) + 0.5);
    return em < 1 ? 1 : em;
}

HFONT MakeFont(const LOGFONTW& description) {
    const QString face = QString::fromWCharArray(description.lfFaceName);
    QFont font =
        ResolveFont(face, kDefaultEmPixels, description.lfWeight, description.lfItalic != 0);
    font.setPixelSize(EmPixels(description.lfHeight, face, font));
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    auto* made = new GdiFont;
    made->font = font;
    made->description = description;
    return made;
}

void CopyFace(const QString& face, WCHAR* out) {
    const QString clipped = face.left(LF_FACESIZE - 1);
    const int written = clipped.toWCharArray(out);
    out[written] = 0;
}

LOGFONTW Describe(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD quality,
                  const QString& face) {
    LOGFONTW description;
    description.lfHeight = height;
    description.lfWidth = width;
    description.lfEscapement = escapement;
    description.lfOrientation = orientation;
    description.lfWeight = weight;
    description.lfItalic = static_cast<BYTE>(italic);
    description.lfUnderline = static_cast<BYTE>(underline);
    description.lfStrikeOut = static_cast<BYTE>(strikeOut);
    description.lfCharSet = static_cast<BYTE>(charSet);
    description.lfQuality = static_cast<BYTE>(quality);
    CopyFace(face, description.lfFaceName);
    return description;
}

QString TextOf(LPCWSTR text, int count) {
    if (text == nullptr)
        return {};
    const auto length = count < 0 ? std::wcslen(text) : static_cast<std::size_t>(count);
    return QString::fromWCharArray(text, static_cast<qsizetype>(length));
}

QString TextOfNarrow(LPCSTR text, int count) {
    if (text == nullptr)
        return {};
    const auto length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

int QtFlags(UINT format) {
    int flags = 0;
    if (format & DT_CENTER) {
        flags |= Qt::AlignHCenter;
    } else if (format & DT_RIGHT) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    // Vertical placement only means something on a single line, as in GDI.
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER)) {
        flags |= Qt::AlignVCenter;
    } else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM)) {
        flags |= Qt::AlignBottom;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & DT_SINGLELINE)
        flags |= Qt::TextSingleLine;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
        flags |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    if (!(format & DT_NOPREFIX))
        flags |= Qt::TextShowMnemonic;
    return flags;
}

QRect AreaOf(const RECT& rect) {
    return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

int CalculateRect(const QFontMetrics& metrics, const QString& text, RECT* rect, UINT format,
                  int flags) {
    const bool wraps = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    const int width = wraps ? rect->right - rect->left : kUnboundedExtent;
    const QRect bounds =
        metrics.boundingRect(QRect(rect->left, rect->top, width, kUnboundedExtent),
                             (flags & ~(Qt::AlignVertical_Mask | Qt::AlignHorizontal_Mask)) |
                                 Qt::AlignLeft | Qt::AlignTop,
                             text);
    // One line is one cell high, as GetTextExtentPoint32 reports it.
    const bool oneLine = (format & DT_SINGLELINE) || text.isEmpty();
    const int height = oneLine ? metrics.height() : std::max(bounds.height(), metrics.height());
    rect->right = rect->left + (text.isEmpty() ? 0 : bounds.width());
    rect->bottom = rect->top + height;
    return height;
}

void PaintText(HDC dc, const QRect& box, int flags, const QString& text, bool clipToBox) {
    QPainter painter(dc->surface);
    QRegion clip = DrawableArea(dc);
    if (clipToBox)
        clip &= QRegion(box);
    painter.setClipRegion(clip);
    painter.setFont(FontOfDC(dc));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRect used = painter.boundingRect(box, flags, text);
    if (dc->backMode == OPAQUE)
        painter.fillRect(used, QColor(PixelOf(dc->backColour)));
    painter.setPen(QColor(PixelOf(dc->textColour)));
    painter.drawText(box, flags, text);
}

int DrawQString(HDC dc, QString text, RECT* rect, UINT format) {
    if (dc == nullptr || rect == nullptr)
        return 0;
    const QFontMetrics metrics(FontOfDC(dc));
    const int flags = QtFlags(format);
    if (format & DT_CALCRECT)
        return CalculateRect(metrics, text, rect, format, flags);
    if (dc->surface == nullptr || dc->surface->depth() != 32)
        return 0;
    const QRect box = AreaOf(*rect);
    if (format & DT_END_ELLIPSIS)
        text = metrics.elidedText(text, Qt::ElideRight, box.width(), flags);
    PaintText(dc, box, flags, text, !(format & DT_NOCLIP));
    if (format & DT_SINGLELINE)
        return metrics.height();
    const QRect used = metrics.boundingRect(box, flags, text);
    return std::max(used.height(), metrics.height());
}

BOOL Extent(HDC dc, const QString& text, SIZE* size) {
    if (dc == nullptr || size == nullptr)
        return FALSE;
    const QFontMetrics metrics(FontOfDC(dc));
    size->cx = metrics.horizontalAdvance(text);
    size->cy = metrics.height();
    return TRUE;
}

} // namespace

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD, DWORD, DWORD quality,
                  DWORD, LPCWSTR face) {
    const QString name = face == nullptr ? QString() : QString::fromWCharArray(face);
    return MakeFont(Describe(height, width, escapement, orientation, weight, italic, underline,
                             strikeOut, charSet, quality, name));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD, DWORD, DWORD quality,
                  DWORD, LPCSTR face) {
    return MakeFont(Describe(height, width, escapement, orientation, weight, italic, underline,
                             strikeOut, charSet, quality, FaceFromNarrow(face)));
}

HFONT CreateFontIndirectW(const LOGFONTW* description) {
    if (description == nullptr)
        return nullptr;
    LOGFONTW copy = *description;
    copy.lfFaceName[LF_FACESIZE - 1] = 0;
    return MakeFont(copy);
}

HFONT CreateFontIndirectA(const LOGFONTA* description) {
    if (description == nullptr)
        return nullptr;
    char face[LF_FACESIZE] = {};
    std::memcpy(face, description->lfFaceName, LF_FACESIZE - 1);
    return MakeFont(Describe(description->lfHeight, description->lfWidth, description->lfEscapement,
                             description->lfOrientation, description->lfWeight,
                             description->lfItalic, description->lfUnderline,
                             description->lfStrikeOut, description->lfCharSet,
                             description->lfQuality, FaceFromNarrow(face)));
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    if (dc == nullptr)
        return CLR_INVALID;
    const COLORREF previous = dc->textColour;
    dc->textColour = colour & 0x00FFFFFF;
    return previous;
}

COLORREF GetTextColor(HDC dc) {
    return dc == nullptr ? CLR_INVALID : dc->textColour;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    if (dc == nullptr)
        return CLR_INVALID;
    const COLORREF previous = dc->backColour;
    dc->backColour = colour & 0x00FFFFFF;
    return previous;
}

COLORREF GetBkColor(HDC dc) {
    return dc == nullptr ? CLR_INVALID : dc->backColour;
}

int SetBkMode(HDC dc, int mode) {
    if (dc == nullptr || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int previous = dc->backMode;
    dc->backMode = mode;
    return previous;
}

int GetBkMode(HDC dc) {
    return dc == nullptr ? 0 : dc->backMode;
}

int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    if (text == nullptr)
        return 0;
    return DrawQString(dc, TextOf(text, count), rect, format);
}

int DrawTextA(HDC dc, LPCSTR text, int count, RECT* rect, UINT format) {
    if (text == nullptr)
        return 0;
    return DrawQString(dc, TextOfNarrow(text, count), rect, format);
}

BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count) {
    if (dc == nullptr || text == nullptr || dc->surface == nullptr || dc->surface->depth() != 32) {
        return FALSE;
    }
    const QString line = TextOf(text, count);
    const QFontMetrics metrics(FontOfDC(dc));
    const QRect box(x, y, metrics.horizontalAdvance(line), metrics.height());
    PaintText(dc, box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line, false);
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
    if (text == nullptr)
        return FALSE;
    return Extent(dc, TextOf(text, count), size);
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size) {
    if (text == nullptr)
        return FALSE;
    return Extent(dc, TextOfNarrow(text, count), size);
}

BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics) {
    if (dc == nullptr || metrics == nullptr)
        return FALSE;
    const QFont& font = FontOfDC(dc);
    const QFontMetrics measured(font);
    metrics->tmAscent = measured.ascent();
    metrics->tmDescent = measured.descent();
    metrics->tmHeight = measured.height();
    metrics->tmInternalLeading = measured.height() - font.pixelSize();
    metrics->tmExternalLeading = measured.leading();
    metrics->tmAveCharWidth = measured.averageCharWidth();
    metrics->tmMaxCharWidth = measured.maxWidth();
    metrics->tmWeight = font.weight();
    return TRUE;
}
