#include "settings/setting_item_controls.h"

#include <algorithm>

#include "language/wide_text.h"
#include "platform/date_time_picker.h"
#include "platform/ui_support_controls.h"

namespace {

constexpr int ListRowsShown = 8;
constexpr int ListRowHeight = 18;
constexpr int ListBorder = 4;
constexpr int PickerGap = 8;
// The drop button and the field's insets.
constexpr int ComboChrome = 30;
// The record keeps the time as second, minute, hour, day, month, year.
enum TimeField { Second, Minute, Hour, Day, Month, Year, TimeFieldCount };

} // namespace

int ComboTextRoom(int comboWidth) {
    return comboWidth - ComboChrome;
}

TSettingItemControls::~TSettingItemControls() {
    Destroy();
}

const SettingsItem* TSettingItemControls::ItemOf(int index) {
    const auto& items = SettingsItems();
    if (index < 0 || index >= static_cast<int>(items.size()))
        return nullptr;
    return &items[static_cast<std::size_t>(index)];
}

void TSettingItemControls::Create(HWND parent, const std::vector<int>& items, const TItemRows& rows,
                                  const TSettingsFonts& fonts, TLabelBoxes* labels) {
    Destroy();
    RegisterDateTimePicker();
    int top = rows.top;
    const int controlLeft = rows.left + rows.captionWidth;
    for (int index : items) {
        const SettingsItem* item = ItemOf(index);
        if (!item)
            continue;
        TRow row;
        row.item = index;
        const RECT control{controlLeft, top, controlLeft + rows.controlWidth,
                           top + rows.controlHeight};
        labels->push_back(TLabelBox{item->caption,
                                    RECT{rows.left, top, controlLeft - PickerGap, control.bottom},
                                    fonts.body});
        if (item->controlKind == kDateTimeControl) {
            const int half = (rows.controlWidth - PickerGap) / 2;
            row.date = CreateWindowExA(
                0, DateTimePickClass, "Date", WS_CHILD | WS_VISIBLE | DTS_SHORTDATEFORMAT,
                control.left, top, half, rows.controlHeight, parent, nullptr, nullptr, nullptr);
            row.time = CreateWindowExA(0, DateTimePickClass, "Time",
                                       WS_CHILD | WS_VISIBLE | DTS_TIMEFORMAT | DTS_UPDOWN,
                                       control.left + half + PickerGap, top, half,
                                       rows.controlHeight, parent, nullptr, nullptr, nullptr);
            for (HWND picker : {row.date, row.time})
                SendMessageA(picker, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.picker), 0);
        } else {
            row.combo = std::make_unique<TGenComboBox>();
            for (const SettingChoice& choice : item->choices)
                row.combo->AddItem(choice.label);
            TComboBoxOptions options;
            options.parent = parent;
            options.rect = control;
            options.font = fonts.body;
            options.readOnly = true;
            options.rowHeight = ListRowHeight;
            const int shown = std::clamp(static_cast<int>(item->choices.size()), 1, ListRowsShown);
            // Counted from the top of the field.
            options.listHeight = rows.controlHeight + shown * ListRowHeight + ListBorder;
            row.combo->Create(options);
            // The widest choice has to fit the field.
            std::wstring widest;
            HDC dc = GetDC(parent);
            for (const SettingChoice& choice : item->choices) {
                const std::wstring label = Utf8ToWide(choice.label);
                if (TextWidth(dc, fonts.body, label) > TextWidth(dc, fonts.body, widest))
                    widest = label;
            }
            ReleaseDC(parent, dc);
            labels->push_back(
                TLabelBox{widest,
                          RECT{control.left, top, control.left + ComboTextRoom(rows.controlWidth),
                               control.bottom},
                          fonts.body, SettingsTextColour, TTextFlow::SingleLine, DT_LEFT,
                          TTextOwner::Control});
        }
        RefreshRow(row);
        m_rows.push_back(std::move(row));
        top += rows.pitch;
    }
}

void TSettingItemControls::Destroy() {
    for (TRow& row : m_rows) {
        for (HWND picker : {row.date, row.time}) {
            if (picker && IsWindow(picker))
                DestroyWindow(picker);
        }
    }
    m_rows.clear();
}

void TSettingItemControls::Refresh() {
    for (TRow& row : m_rows)
        RefreshRow(row);
}

void TSettingItemControls::Store() const {
    for (const TRow& row : m_rows)
        StoreRow(row);
}

void TSettingItemControls::RefreshRow(TRow& row) const {
    const SettingsItem* item = ItemOf(row.item);
    if (!item || !item->field.values)
        return;
    const std::int32_t* values = item->field.values;
    if (row.date && item->field.count >= TimeFieldCount) {
        SYSTEMTIME time;
        time.wYear = static_cast<WORD>(values[Year]);
        time.wMonth = static_cast<WORD>(values[Month]);
        time.wDay = static_cast<WORD>(values[Day]);
        time.wHour = static_cast<WORD>(values[Hour]);
        time.wMinute = static_cast<WORD>(values[Minute]);
        time.wSecond = static_cast<WORD>(values[Second]);
        // A time the camera never set leaves the pickers at the present.
        SendMessageA(row.date, DTM_SETSYSTEMTIME, GDT_VALID_SET, reinterpret_cast<LPARAM>(&time));
        SendMessageA(row.time, DTM_SETSYSTEMTIME, GDT_VALID_SET, reinterpret_cast<LPARAM>(&time));
        return;
    }
    if (!row.combo || item->choices.empty())
        return;
    int selected = 0;
    for (std::size_t i = 0; i < item->choices.size(); ++i) {
        if (item->choices[i].value == values[0]) {
            selected = static_cast<int>(i);
            break;
        }
    }
    row.combo->Select(selected);
}

void TSettingItemControls::StoreRow(const TRow& row) const {
    const SettingsItem* item = ItemOf(row.item);
    if (!item || !item->field.values)
        return;
    std::int32_t* values = item->field.values;
    if (row.date && item->field.count >= TimeFieldCount) {
        SYSTEMTIME date;
        SYSTEMTIME clock;
        if (SendMessageA(row.date, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date)) !=
                GDT_VALID ||
            SendMessageA(row.time, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&clock)) !=
                GDT_VALID)
            return;
        values[Year] = date.wYear;
        values[Month] = date.wMonth;
        values[Day] = date.wDay;
        values[Hour] = clock.wHour;
        values[Minute] = clock.wMinute;
        values[Second] = clock.wSecond;
        return;
    }
    if (!row.combo)
        return;
    const int selected = row.combo->SelectedIndex();
    if (selected < 0 || selected >= static_cast<int>(item->choices.size()))
        return;
    values[0] = item->choices[static_cast<std::size_t>(selected)].value;
}

TGenComboBox* TSettingItemControls::Combo(std::size_t row) const {
    return row < m_rows.size() ? m_rows[row].combo.get() : nullptr;
}

HWND TSettingItemControls::DatePicker(std::size_t row) const {
    return row < m_rows.size() ? m_rows[row].date : nullptr;
}

HWND TSettingItemControls::TimePicker(std::size_t row) const {
    return row < m_rows.size() ? m_rows[row].time : nullptr;
}
