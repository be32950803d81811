#pragma once
// The controls of a list of camera setting items, one row each: the item's
// caption and its control, a drop-down list of its choices or, for the date
// and time item, a date picker and a time picker side by side. They show
// the item's field of the camera settings record and store into it.

#include <memory>
#include <vector>

#include "settings/camera_settings_model.h"
#include "settings/settings_look.h"
#include "ui/combo_box.h"

// Where the rows go inside the parent.
struct TItemRows {
    int left = 0;
    int top = 0;
    int captionWidth = 0;
    int controlWidth = 0;
    int pitch = 0;
    int controlHeight = 0;
};

class TSettingItemControls {
public:
    TSettingItemControls() = default;
    ~TSettingItemControls();
    TSettingItemControls(const TSettingItemControls&) = delete;
    TSettingItemControls& operator=(const TSettingItemControls&) = delete;

    // One row per item index of `items` that names an item, empty slots
    // left out; the captions join `labels`.
    void Create(HWND parent, const std::vector<int>& items, const TItemRows& rows,
                const TSettingsFonts& fonts, TLabelBoxes* labels);
    void Destroy();
    // Every control shows its field again.
    void Refresh();
    // Every control's choice into its field; a list without a choice leaves
    // its field alone.
    void Store() const;

    std::size_t RowCount() const { return m_rows.size(); }
    // The drop-down list of a row, null for the date and time row.
    TGenComboBox* Combo(std::size_t row) const;
    // The date and time row's pickers (null elsewhere).
    HWND DatePicker(std::size_t row) const;
    HWND TimePicker(std::size_t row) const;

private:
    struct TRow {
        int item = 0;
        std::unique_ptr<TGenComboBox> combo;
        HWND date = nullptr;
        HWND time = nullptr;
    };
    static const SettingsItem* ItemOf(int index);
    void RefreshRow(TRow& row) const;
    void StoreRow(const TRow& row) const;

    std::vector<TRow> m_rows;
};

// How wide the widest choice label of a drop-down list is allowed to be.
int ComboTextRoom(int comboWidth);
