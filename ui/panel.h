#pragma once
// Panels: child windows (or child dialogs) whose messages are routed to a
// fixed table of overridable operations, and the panel set that shows one
// of several panels in a common frame (the tabs of the settings dialogs and
// of the side window).

#include <memory>
#include <vector>

#include "platform/dialog.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

// Spin control notification: the delta it is about to apply.
inline constexpr UINT UDN_DELTAPOS = static_cast<UINT>(-722);
struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};

inline constexpr UINT FirstRegisteredMessage = 0xC000;
inline constexpr UINT LastUserMessage = 0x7FFF;
inline constexpr const char* DefaultPanelClass = "__DefaultPanelClass__";

class CPanel : public CWndEx {
public:
    CPanel() = default;
    ~CPanel() override;

    virtual void PrepareBackground(HDC dc, const RECT& client);
    virtual void OnDestroy();
    virtual void OnSize(int width, int height);
    virtual void OnInitPanel(LPARAM parameter);
    virtual void OnCommand(WPARAM wParam, LPARAM lParam);
    // A value other than -1 left in `result` is the answer to the sender.
    virtual void OnNotify(NMHDR* header, LRESULT* result);
    virtual LRESULT OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRegisteredMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Spin controls count the other way round: the default negates the delta.
    virtual LRESULT OnUpDownDelta(NMUPDOWN* notification);
    virtual void OnScroll(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMeasureItem(MEASUREITEMSTRUCT* measure);
    virtual LRESULT OnDrawItem(DRAWITEMSTRUCT* item);
    virtual void OnPaint(HDC dc);
    virtual void OnEraseBackground(HDC dc);
    // Null lets the default handling run.
    virtual HBRUSH OnCtlColorStatic(HDC dc, HWND control);
    virtual void OnLButtonDown(WPARAM flags, POINT point);
    virtual void OnLButtonDblClk(WPARAM flags, POINT point);
    // Non-zero: handled.
    virtual LRESULT OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    // False on leaving vetoes the switch.
    virtual bool OnActivate(bool activating);
    virtual void OnTimer(UINT_PTR timerId, LPARAM lParam);

    // Routes the window's (or dialog's) messages to the operations above.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

    char title[256] = {};
    TMemoryDC background;
};

struct TPanelInfo {
    char className[64] = {}; // empty: DefaultPanelClass
    int panelId = 0;
    DLGPROC dialogProcedure = nullptr; // null: BoundDialogProcedure
    std::unique_ptr<CPanel> panel;
    HWND tabButton = nullptr;
    bool asDialog = false;
};

class TPanelSet {
public:
    explicit TPanelSet(HWND frameWindow = nullptr) : frame(frameWindow) {}
    ~TPanelSet() { DestroyPanels(); }
    TPanelSet(const TPanelSet&) = delete;
    TPanelSet& operator=(const TPanelSet&) = delete;

    bool AddPanel(std::unique_ptr<TPanelInfo> info);
    void ShowPanel(int id);
    void DestroyPanels();
    CPanel* Panel(int id) const;
    // -1 while none is shown.
    int CurrentId() const { return currentId; }
    std::size_t PanelCount() const { return panels.size(); }

private:
    HWND frame = nullptr;
    std::vector<std::unique_ptr<TPanelInfo>> panels;
    int currentId = -1;
};
