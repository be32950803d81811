#pragma once
// Turning the face names the program asks for into installed fonts.
// Inside platform/ only (it speaks Qt).

#include <QFont>
#include <QString>
#include <QStringList>

// The installed families that stand for `face`, best first: the face
// itself when installed; the Korean system faces ("돋움", "굴림", "굴림체",
// also by their Latin names) as Noto Sans CJK KR; "Tahoma" as a
// Thai-capable Noto face with Noto Sans for Latin; "Arial" as Liberation
// Sans; anything else missing as the installed sans-serif family.
QStringList ResolveFontFamilies(const QString& face);

// A font of `face` at `pixelSize` pixels (the em height), with a GDI weight
// (400 normal, 700 bold).
QFont ResolveFont(const QString& face, int pixelSize, int weight, bool italic);

// A face name given as narrow bytes: UTF-8, or the code page 949 spelling
// of the Korean system faces (the program passes those as such).
QString FaceFromNarrow(const char* face);
