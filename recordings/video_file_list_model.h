#pragma once
// The recording list's rows: each row holds the full path of one recording,
// and the row description shows its kind (with the kind's icon) and its
// recording time, light grey on the dark list.

#include <string>

#include "ui/list_ctrl.h"

class TVideoFileListData : public TListData {
public:
    explicit TVideoFileListData(std::string path) : m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

inline constexpr COLORREF ListDarkColour = RGB(17, 17, 17);
inline constexpr COLORREF ListTextColour = RGB(128, 128, 128);
inline constexpr COLORREF ListSelectedTextColour = RGB(255, 255, 255);
// Kind and recording time.
inline constexpr float KindColumnShare = 0.45f;
inline constexpr float TimeColumnShare = 0.55f;

class TVideoFileListRowInfo : public TListRowInfo {
public:
    explicit TVideoFileListRowInfo(TListDataSet* rows);
    ~TVideoFileListRowInfo() override;

    UINT CellFlags(int column) const override;
    COLORREF CellBackColor(int column) const override;
    HBRUSH RowBackBrush() const override { return m_darkBrush; }
    std::wstring CellText(int row, int column, TCellAlign* align) const override;
    bool CellImage(int row, int column, TCellImage* image) const override;
    COLORREF CellTextColor(int row, int column) const override;
    COLORREF SelectedTextColor(int row, int column) const override;

    // The row's path; empty for a row that is not there.
    std::string PathOf(int row) const;

private:
    HBRUSH m_darkBrush = nullptr;
};
