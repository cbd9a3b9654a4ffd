#pragma once
// Plain drawing of text lines with the toolkit's own painter, written apart
// from the canvas code: the floor the canvas's text drawing is measured
// against in the benchmarks.
#include <vector>

#include "platform/rtl/types.h"

// Draws every line in black at (AX, ATop + I * ALineHeight), its top at that
// point, with one painter into the 0xFFRRGGBB pixels ABits (AWidth x
// AHeight, AStride bytes per row; a bitmap's BeginDraw gives them), in the
// font family AFamily (AFallbackFamily for missing characters) at
// APixelSize pixels, kerning off and full hinting as the canvas sets fonts;
// AUnderline: the font underlined.
void DrawLinesWithPlainPainter(Cardinal* ABits, Integer AWidth, Integer AHeight, Integer AStride,
                               const std::vector<String>& ALines, Integer AX, Integer ATop, Integer ALineHeight,
                               const String& AFamily, const String& AFallbackFamily, Integer APixelSize,
                               bool AUnderline = false);

// The advance of a line in the font as DrawLinesWithPlainPainter sets it,
// by the font metrics alone.
Integer PlainLineWidth(const String& ALine, const String& AFamily, const String& AFallbackFamily, Integer APixelSize);
