#pragma once
// The date and time picker control, "SysDateTimePick32": a short date field
// or, with DTS_TIMEFORMAT, a time field with spin buttons. Its value travels
// as a SYSTEMTIME through DTM_GETSYSTEMTIME and DTM_SETSYSTEMTIME; WM_SETFONT
// sets the face. RegisterDateTimePicker makes the class known.

#include "platform/window.h"

inline constexpr const char* DateTimePickClass = "SysDateTimePick32";

inline constexpr DWORD DTS_UPDOWN = 0x0001;
inline constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr DWORD DTS_TIMEFORMAT = 0x0009;

inline constexpr UINT DTM_GETSYSTEMTIME = 0x1001;
inline constexpr UINT DTM_SETSYSTEMTIME = 0x1002;
inline constexpr LRESULT GDT_VALID = 0;
inline constexpr LRESULT GDT_ERROR = -1;
inline constexpr WPARAM GDT_VALID_SET = 0;

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

void RegisterDateTimePicker();
