#pragma once
// Seam between the window layer and the drawing layer inside platform/.
// Never included outside platform/ (it speaks Qt).

#include <QImage>
#include <QRegion>

#include "platform/gdi.h"
#include "platform/win_types.h"

// A device context whose surface is `image` (not owned), as a window DC
// drawing into the window's backing image. Freed with DeleteImageDC.
// The image should be QImage::Format_RGB32 (what every GDI surface is);
// other 32-bit formats work, and their alpha is set opaque where drawn.
HDC CreateImageDC(QImage* image);
void DeleteImageDC(HDC dc);
// The image a DC draws into (a window's backing image or the bitmap
// selected into a memory DC); null for none.
QImage* ImageOfDC(HDC dc);

// A printer DC draws through the painter of its open document instead of
// into an image; it owns its job (printing.cpp) and frees it with the DC.
struct TPrinterJob;
class QPainter;
HDC CreatePrinterDC(TPrinterJob* job);
TPrinterJob* PrinterJobOfDC(HDC dc);
void DeletePrinterJob(TPrinterJob* job);
// The open document's painter; null outside StartDocA..EndDoc and for
// every other DC.
QPainter* PrinterPainterOfDC(HDC dc);

// The area of a region handle, in its own coordinates (empty for null or
// a handle that is not a region).
QRegion RegionOfHandle(HRGN region);
