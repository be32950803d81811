#pragma once
// The memory allocation bar of the camera settings: 21 positions (0, 5, ...,
// 100 percent) and two handles that split the card into three shares. The
// handles stay within 10 to 90 and at least 10 apart. A drag that ends is
// put to the user, who may keep it (the control then counts as changed) or
// take it back.

#include <functional>

#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* MemoryAdjustClass = "__MemoryAdjustCtrl__";
inline constexpr int MemoryPercentStep = 5;
inline constexpr int MemoryPositions = 21;
inline constexpr int MemoryHandleLowest = 10;
inline constexpr int MemoryHandleHighest = 90;
inline constexpr int MemoryHandleGap = 10;

enum class TMemoryBarHandle { None, Lower, Upper };

struct TMemoryMarkers {
    int lower = 50;
    int upper = 70;
};

class CMemoryAdjustCtrl : public CWndEx {
public:
    // Asked when a drag ends; true keeps the new place.
    using TConfirm = std::function<bool(HWND control)>;
    // Told of every move of a handle, to show the shares.
    using TMoved = std::function<void(const TMemoryMarkers&)>;

    CMemoryAdjustCtrl();
    ~CMemoryAdjustCtrl() override;

    bool Create(HWND parent, const RECT& rect, int controlId);
    void SetConfirm(TConfirm confirm) { m_confirm = std::move(confirm); }
    void SetMoved(TMoved moved) { m_moved = std::move(moved); }

    // Markers outside the rules are brought inside them.
    void SetMarkers(const TMemoryMarkers& markers);
    const TMemoryMarkers& Markers() const { return m_markers; }
    bool Changed() const { return m_changed; }

    // The centre of a percentage's cell, in client pixels.
    int CentreOf(int percent) const;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    int StepWidth() const;
    RECT HandleRect(int percent) const;
    void OnButtonDown(POINT point);
    void OnDrag(POINT point);
    void OnButtonUp();
    void Paint(HDC dc);
    void Moved();

    TMemoryMarkers m_markers;
    bool m_changed = false;
    TMemoryBarHandle m_held = TMemoryBarHandle::None;
    int m_heldBefore = 0;
    int m_width = 0;
    int m_height = 0;
    TMemoryDC m_bar;
    TMemoryDC m_thumb;
    TConfirm m_confirm;
    TMoved m_moved;
};

// Asks with the skinned Yes/No box and the description of the shares.
bool ConfirmMemoryChange(HWND control);
