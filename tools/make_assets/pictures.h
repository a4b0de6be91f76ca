#pragma once
// The program's pictures, drawn in code so that they can be made again at will.

#include <QImage>
#include <QVector>

QImage DrawBanner(QSize size);
QImage DrawProgramIcon(int side);

// Glyph strips: the normal image and, to its right, the disabled one, in the 16 colours of
// SixteenColors(). The lower-left pixel of each image is the transparent colour.
QImage DrawExitGlyphStrip(int side);
QImage DrawArrowGlyphStrip(int side);

QVector<QRgb> SixteenColors();
