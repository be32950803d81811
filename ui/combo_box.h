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
    std::string text;  // UTF-8
    int indent = 0;
    const LOGFONTA* logFont = nullptr;
    bool hasFont = false;
    bool ownsText = true;
};

class TComboBox : public TWnd {
public:
    TComboBox() = default;
    ~TComboBox() override;

    // Fills the list box when the list opens; false leaves it empty.
    virtual bool PrepareList(HWND listBoxWindow, bool opening) = 0;

    bool Create(HWND parent, const RECT& rect, HFONT listFont, Gdiplus::Font* rowFont);
    void AddItem(const std::string& text, int indent = 0);
    void Select(int index);
    void ToggleList();
    bool ListOpen() const { return listWindow != nullptr; }
    std::string Text() const;

    HPEN borderPen = nullptr;
    TMemoryDC background;
    HFONT font = nullptr;
    Gdiplus::Font* gdipFont = nullptr;
    HWND listWindow = nullptr;
    HWND listBox = nullptr;
    HWND scrollBar = nullptr;
    HWND textField = nullptr;
    CActButton dropButton;
    int listHeight = 60;
    int rowHeight = 18;
    bool readOnly = false;
    bool hideOnCommit = false;
    std::vector<std::unique_ptr<TComboItem>> items;
    int selectedIndex = -1;
    SCROLLINFO scrollInfo;
    int scrollPos = 0;
    bool customScrollBar = true;
    TImageAtlas* buttonAtlas = nullptr;
    HBRUSH selectionBrush = nullptr;
    HPEN selectionPen = nullptr;
    HBRUSH listBackgroundBrush = nullptr;
    std::wstring textBuffer;

private:
    static LRESULT FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT ListWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT ListBoxSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT TextFieldSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    LRESULT OnListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    LRESULT OnListBoxMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    void OnFrameCreate();
    void OnFrameSize(int width, int height);
    void OnListCreate(HWND window);
    void OpenList();
    void CloseList();
    void DrawRow(const DRAWITEMSTRUCT& item);
    void SyncScrollBar();
    void CommitChoice(bool fromOutside);
    void SetFieldText(const std::string& text);

    WNDPROC m_listBoxProcedure = nullptr;
    WNDPROC m_textFieldProcedure = nullptr;
};

class TGenComboBox : public TComboBox {
public:
    bool PrepareList(HWND, bool) override { return true; }
};
