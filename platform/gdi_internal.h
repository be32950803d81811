#pragma once
// Seam between the window layer and the drawing layer inside platform/.
// Never included outside platform/ (it speaks Qt).

#include <QImage>
#include <QRegion>

#include "platform/win_types.h"

struct HDC__;
using HDC = HDC__*;
struct HRGN__;
using HRGN = HRGN__*;

// A device context whose surface is `image` (not owned), as a window DC
// drawing into the window's backing image. Freed with DeleteImageDC.
HDC CreateImageDC(QImage* image);
void DeleteImageDC(HDC dc);
// The image a DC draws into (a window's backing image or the bitmap
// selected into a memory DC); null for none.
QImage* ImageOfDC(HDC dc);
// The area of a region handle, in its own coordinates.
QRegion RegionOfHandle(HRGN region);
