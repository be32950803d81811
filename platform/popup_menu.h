#pragma once
// Pop-up menus in Win32's terms (CreatePopupMenu, AppendMenuA,
// TrackPopupMenu, DestroyMenu) on the toolkit's own menu. Main thread only.

#include <string>
#include <vector>

#include "platform/win_types.h"

struct HMENU__;
using HMENU = HMENU__*;

inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_SEPARATOR = 0x0800;
// TrackPopupMenu answers the chosen id (0: none) instead of posting
// WM_COMMAND to the owner.
inline constexpr UINT TPM_RETURNCMD = 0x0100;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;

HMENU CreatePopupMenu();
// Text is UTF-8; '&' marks the mnemonic as on Windows.
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, const char* text);
BOOL DestroyMenu(HMENU menu);
// Shows the menu at a screen point and waits for a choice. With
// TPM_RETURNCMD the chosen id is answered; otherwise WM_COMMAND (the id in
// the low word) is posted to the owner and the answer is non-zero when an
// item was chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* ignored);

// Test seam: while recording, no menu shows; each call is kept and answered
// with the item whose text is `answer` (none when no item has it).
struct TPopupMenuItem {
    UINT_PTR id = 0;
    std::string text;
    bool grayed = false;
    bool separator = false;
};
struct TPopupMenuCall {
    HWND owner = nullptr;
    POINT at;
    std::vector<TPopupMenuItem> items;
};
void StartRecordingPopupMenus(const std::string& answer);
void StopRecordingPopupMenus();
std::vector<TPopupMenuCall> RecordedPopupMenus();
