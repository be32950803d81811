#pragma once
// The numbers the side window, its recording list and the main window
// agree on: messages to the main window, panel ids and command ids.

#include "platform/window_constants.h"

// Sent by the recording list to the main window to open a recording:
// wParam = the row, lParam = the path (const char*, UTF-8, valid during the
// call). The answer is non-zero when the recording opened.
inline constexpr UINT WM_OPEN_RECORDING = 8027;
// Posted to the main window whenever the side window has docked (wParam 1)
// or come loose (wParam 0), so that it lays itself out again.
inline constexpr UINT WM_SIDE_WINDOW_DOCKING = 8028;
// Sent by the recording list's context menu to the main window to export a
// recording's GPS track: lParam = the path (const char*, UTF-8, valid during
// the call).
inline constexpr UINT WM_EXPORT_TRACK = 8029;

inline constexpr int FileListPanelId = 200;
inline constexpr int MapPanelId = 201;

// The tab buttons: two per tab, exactly one of each pair shown.
inline constexpr int FileTabSelectedId = 202;
inline constexpr int FileTabId = 203;
inline constexpr int MapTabSelectedId = 204;
inline constexpr int MapTabId = 205;

// The kind filter buttons, on and off of each kind.
inline constexpr int NormalOnId = 206;
inline constexpr int NormalOffId = 207;
inline constexpr int EventOnId = 208;
inline constexpr int EventOffId = 209;
inline constexpr int ParkingOnId = 210;
inline constexpr int ParkingOffId = 211;
