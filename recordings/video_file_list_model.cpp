#include "recordings/video_file_list_model.h"

#include "language/wide_text.h"
#include "recordings/recording_name.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr int KindColumn = 0;
constexpr int TimeColumn = 1;

} // namespace

TVideoFileListRowInfo::TVideoFileListRowInfo(TListDataSet* rows)
    : TListRowInfo(rows), m_darkBrush(CreateSolidBrush(ListDarkColour)) {}

TVideoFileListRowInfo::~TVideoFileListRowInfo() {
    if (m_darkBrush)
        DeleteObject(m_darkBrush);
}

UINT TVideoFileListRowInfo::CellFlags(int column) const {
    return column == KindColumn ? CellShowsText | CellImageLeft : CellShowsText;
}

COLORREF TVideoFileListRowInfo::CellBackColor(int) const {
    return ListDarkColour;
}

std::string TVideoFileListRowInfo::PathOf(int row) const {
    if (!dataSet || row < 0 || row >= dataSet->GetCount())
        return {};
    return static_cast<const TVideoFileListData*>(dataSet->GetItem(row))->Path();
}

std::wstring TVideoFileListRowInfo::CellText(int row, int column, TCellAlign* align) const {
    const std::string path = PathOf(row);
    // Only a full path names a recording.
    if (path.find('/') == std::string::npos)
        return {};
    if (column == KindColumn) {
        *align = TCellAlign::Left;
        return Utf8ToWide(KindText(KindOfName(path)));
    }
    if (column == TimeColumn) {
        *align = TCellAlign::Centre;
        return Utf8ToWide(RecordingTimeText(path));
    }
    return {};
}

bool TVideoFileListRowInfo::CellImage(int row, int column, TCellImage* image) const {
    if (column != KindColumn)
        return false;
    const RecordingKind kind = KindOfName(PathOf(row));
    if (kind == RecordingKind::Unknown)
        return false;
    const TImageAtlas& icons = KindIconAtlas();
    const RECT* source = icons.Find(static_cast<UINT>(KindIconId(kind)));
    if (!source || icons.surface.released)
        return false;
    image->dc = icons.surface.dc;
    image->source = *source;
    image->transparentWhite = false;
    return true;
}

COLORREF TVideoFileListRowInfo::CellTextColor(int, int) const {
    return ListTextColour;
}

COLORREF TVideoFileListRowInfo::SelectedTextColor(int, int) const {
    return ListSelectedTextColour;
}
