#pragma once
// Printing as the Win32 calls gave it: the print dialog returning a printer
// device context and its device mode, the document and page calls, and the
// device's resolution. The printer DC is drawn on with GDI+ (a
// Gdiplus::Graphics on the DC, between StartDocA and EndDoc) and freed with
// DeleteDC. Main thread only.

#include <string>
#include <vector>

#include "platform/gdi.h"

// PRINTDLGA flags the program uses.
inline constexpr DWORD PD_ALLPAGES = 0x00000000;
inline constexpr DWORD PD_NOSELECTION = 0x00000004;
inline constexpr DWORD PD_NOPAGENUMS = 0x00000008;
inline constexpr DWORD PD_RETURNDC = 0x00000100;
inline constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x00040000;
inline constexpr DWORD PD_DISABLEPRINTTOFILE = 0x00080000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;

// GetDeviceCaps indexes.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;

inline constexpr int SP_ERROR = -1;

// What the program reads of a device mode.
struct DEVMODEA {
    short dmPaperWidth = 0;  // tenths of a millimetre, across the page as printed
    short dmPaperLength = 0; // tenths of a millimetre
    short dmCopies = 1;
};

// The device mode travels as a movable memory handle, locked to be read.
struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);

struct PRINTDLGA {
    HWND hwndOwner = nullptr;
    HGLOBAL hDevMode = nullptr; // out: the chosen printer's mode; GlobalFree it
    HDC hDC = nullptr;          // out with PD_RETURNDC; DeleteDC it
    DWORD Flags = 0;
    WORD nFromPage = 1;
    WORD nToPage = 1;
    WORD nMinPage = 1;
    WORD nMaxPage = 1;
    WORD nCopies = 1;
};

// Shows the print dialog over the owner; TRUE when the user chose to print.
// Print to file is never offered here, whatever the flags say, and the
// page range is fixed to the range given.
BOOL PrintDlgA(PRINTDLGA* request);

struct DOCINFOA {
    const char* lpszDocName = nullptr;
};

// A positive job number, or SP_ERROR.
int StartDocA(HDC printer, const DOCINFOA* document);
int StartPage(HDC printer);
int EndPage(HDC printer);
int EndDoc(HDC printer);

// The printer's resolution and page size in its pixels; 96 pixels per inch
// and the surface's size for the other DCs.
int GetDeviceCaps(HDC dc, int index);

// Test seam: while answering, PrintDlgA shows nothing and answers every
// request with a printer that writes a PDF file (an empty path answers as
// a cancel); each request is kept.
struct TPdfPrinter {
    std::string path;
    int paperWidthMm = 210;
    int paperHeightMm = 297;
    int dotsPerInch = 600;
};
struct TPrintDialogCall {
    HWND owner = nullptr;
    DWORD flags = 0;
    WORD fromPage = 0;
    WORD toPage = 0;
    WORD minPage = 0;
    WORD maxPage = 0;
    WORD copies = 0;
    std::string documentName; // what StartDocA then named the job
};
void StartAnsweringPrintDialogs(const TPdfPrinter& printer);
void StopAnsweringPrintDialogs();
std::vector<TPrintDialogCall> AnsweredPrintDialogs();
