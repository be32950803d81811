#pragma once
// The list choice of the settings dialogs: a frame holding a text field and
// a drop button that opens a pop-up list of owner-drawn rows with its own
// scroll bar. The list captures the mouse, so every click ends in a choice
// or a close.

#include <memory>
#include <string>
#include <vector>

#include "platform/gdiplus.h"
#include "platform/ui_support_controls.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

// Sent to the frame's parent: wParam = the chosen index, lParam = the frame.
inline constexpr UINT WM_COMBO_CHOICE = 6030;
// Sent to the frame: wParam = the sending window, lParam = UTF-8 text.
inline constexpr UINT WM_COMBO_COMMIT_TEXT = 6027;
// Sent to the list window, which destroys itself.
inline constexpr UINT WM_COMBO_CLOSE_LIST = 6029;
inline constexpr int ComboListBoxId = 100;
inline constexpr int ComboDropButtonId = 101;
inline constexpr int ComboIndentStep = 20;
inline constexpr const char* ComboFrameClass = "__ComboBox__";
inline constexpr const char* ComboListClass = "__ListBorder__";

struct TComboItem {
    HICON icon = nullptr;
    std::string text; // UTF-8
    int indent = 0;
    const LOGFONTA* logFont = nullptr;
    bool hasFont = false;
};

struct TComboBoxOptions {
    HWND parent = nullptr;
    RECT rect{};
    // The text field's and the rows' font; with `rowFont` the rows are drawn
    // by GDI+ in that one instead.
    HFONT font = nullptr;
    Gdiplus::Font* rowFont = nullptr;
    // Creators compute the list's height from the number of rows.
    int listHeight = 60;
    int rowHeight = 18;
    // The text field is disabled.
    bool readOnly = false;
    // A choice made by clicking outside the list hides the whole combo box.
    bool hideOnCommit = false;
    bool customScrollBar = true;
    // The drop button's pictures; null: the shared combo button atlas.
    TImageAtlas* buttonAtlas = nullptr;
};

class TComboBox;

// The pop-up list's window; its messages are the combo box's to answer.
class TComboList : public TWnd {
public:
    explicit TComboList(TComboBox& owner) : m_owner(owner) { SetClassName(ComboListClass); }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    TComboBox& m_owner;
};

class TComboBox : public TWnd {
public:
    TComboBox() = default;
    ~TComboBox() override;

    // Fills the list box when the list opens; false leaves it empty.
    virtual bool PrepareList(HWND listBoxWindow, bool opening) = 0;

    bool Create(const TComboBoxOptions& options);
    void AddItem(const std::string& text, int indent = 0);
    // An index out of range keeps the selection and only refreshes it.
    void Select(int index);
    void ToggleList();
    bool ListOpen() const { return m_list.hWnd != nullptr; }
    int SelectedIndex() const { return m_selectedIndex; }
    std::string Text() const;
    HWND TextField() const { return m_textField; }
    // Null while the list is closed.
    HWND ListBox() const { return m_listBox; }
    HWND ScrollBar() const { return m_scrollBar; }

private:
    friend class TComboList;
    static LRESULT ListBoxSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT TextFieldSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    LRESULT OnListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    void OnFrameCreate();
    void OnFrameSize(int width, int height);
    void OnListCreate();
    void OnListDestroy();
    void OpenList();
    void CloseList();
    void DrawRow(const DRAWITEMSTRUCT& item);
    void SyncScrollBar();
    // Where the click that ends the list fell.
    enum class TClickPlace { InList, Outside };
    void CommitChoice(TClickPlace place);
    void SetFieldText(const std::string& text);

    TComboBoxOptions m_options;
    HPEN m_borderPen = nullptr;
    TMemoryDC m_background;
    TComboList m_list{*this};
    HWND m_listBox = nullptr;
    HWND m_scrollBar = nullptr;
    HWND m_textField = nullptr;
    CActButton m_dropButton;
    std::vector<std::unique_ptr<TComboItem>> m_items;
    int m_selectedIndex = -1;
    int m_scrollPos = 0;
    HBRUSH m_selectionBrush = nullptr;
    HPEN m_selectionPen = nullptr;
    WNDPROC m_listBoxProcedure = nullptr;
    WNDPROC m_textFieldProcedure = nullptr;
};

class TGenComboBox : public TComboBox {
public:
    bool PrepareList(HWND, bool) override { return true; }
};
