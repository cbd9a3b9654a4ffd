// Drawing text lines through the canvas (TextOut, DrawText) and through the
// library canvas, each against a plain painter drawing the same lines into
// the same bitmap in the same font; the runs take turns so that a change in
// the machine's load falls on both, and each line prints the ratio with its
// target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

#include "foundation/cxGraphics.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/drawbench.h"
#include "platform/gui/graphics.h"

namespace {

constexpr Integer LineCount = 400;
constexpr Integer Repeats = 5;  // drawings of all the lines per timed run
constexpr Integer PixelSize = 13;
constexpr double Target = 1.2;
const String Family = u"DejaVu Sans";
const String CjkFamily = u"WenQuanYi Micro Hei";

double Seconds(const std::function<void()>& AWork) {
  const auto Start = std::chrono::steady_clock::now();
  AWork();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// The best of seven runs of each, taking turns.
std::pair<double, double> BestOfBoth(const std::function<void()>& A, const std::function<void()>& B) {
  std::pair<double, double> Result{1e30, 1e30};
  for (int I = 0; I < 7; ++I) {
    Result.first = std::min(Result.first, Seconds(A));
    Result.second = std::min(Result.second, Seconds(B));
  }
  return Result;
}

Integer InkedPixels(TBitmap& ABitmap) {
  Integer Stride = 0;
  const Cardinal* Bits = ABitmap.PixelData(Stride);
  Integer Count = 0;
  for (Integer Y = 0; Y < ABitmap.Height(); ++Y) {
    const auto* Row = reinterpret_cast<const Cardinal*>(reinterpret_cast<const Byte*>(Bits) + Y * Stride);
    for (Integer X = 0; X < ABitmap.Width(); ++X) Count += (Row[X] & 0xFFFFFF) != 0xFFFFFF;
  }
  return Count;
}

void Clear(TBitmap& ABitmap) {
  ABitmap.Canvas()->Brush()->SetStyle(bsSolid);
  ABitmap.Canvas()->Brush()->SetColor(clWhite);
  ABitmap.Canvas()->FillRect(Rect(0, 0, ABitmap.Width(), ABitmap.Height()));
  ABitmap.Canvas()->Brush()->SetStyle(bsClear);
}

int Failures = 0;

}  // namespace

int main() {
  // Lines of Latin and Chinese text of 10 to 60 characters.
  const String Words[] = {u"sample", u"岩石", u"矿物", u"geology", u"钻孔", u"depth", u"12.5 m", u"地层",
                          u"core", u"样品编号", u"survey", u"元数据"};
  std::vector<String> Lines;
  unsigned Seed = 7;
  for (Integer I = 0; I < LineCount; ++I) {
    String Line;
    const Integer Length = 10 + Integer((Seed = Seed * 1103515245 + 12345) >> 16) % 50;
    while (Integer(Line.size()) < Length) {
      if (!Line.empty()) Line += u' ';
      Line += Words[((Seed = Seed * 1103515245 + 12345) >> 16) % 12];
    }
    Lines.push_back(Line);
  }

  TBitmap Bitmap(700, 400, pf32bit);
  TCanvas* Canvas = Bitmap.Canvas();
  Canvas->Font()->SetName(Family);
  Canvas->Font()->SetHeight(-PixelSize);
  Canvas->Font()->SetColor(clBlack);
  const Integer LineHeight = Canvas->TextHeight(u"Qq");
  const Integer Rows = Bitmap.Height() / LineHeight;
  auto Top = [&](Integer I) { return (I % Rows) * LineHeight; };

  auto Plain = [&] {
    Integer Stride = 0;
    Cardinal* Bits = Bitmap.BeginDraw(Stride);
    for (Integer R = 0; R < Repeats; ++R)
      for (Integer First = 0; First < LineCount; First += Rows) {
        const std::vector<String> Screen(Lines.begin() + First, Lines.begin() + std::min(First + Rows, LineCount));
        DrawLinesWithPlainPainter(Bits, Bitmap.Width(), Bitmap.Height(), Stride, Screen, 4, 0, LineHeight, Family,
                                  CjkFamily, PixelSize);
      }
    Bitmap.EndDraw();
  };
  TcxCanvas Library(Canvas);
  const std::pair<const char*, std::function<void()>> Paths[] = {
      {"canvas TextOut",
       [&] {
         for (Integer R = 0; R < Repeats; ++R)
           for (Integer I = 0; I < LineCount; ++I) Canvas->TextOut(4, Top(I), Lines[size_t(I)]);
       }},
      {"canvas DrawText, one line",
       [&] {
         Canvas->Realize();  // the handle draws with the brush's mode: clear
         for (Integer R = 0; R < Repeats; ++R)
           for (Integer I = 0; I < LineCount; ++I) {
             TRect Box = Rect(4, Top(I), Bitmap.Width(), Top(I) + LineHeight);
             DrawText(Canvas, Lines[size_t(I)], Box, DT_SINGLELINE | DT_NOPREFIX);
           }
       }},
      {"library canvas, one line",
       [&] {
         for (Integer R = 0; R < Repeats; ++R)
           for (Integer I = 0; I < LineCount; ++I)
             Library.DrawTextWithFlags(Lines[size_t(I)], Rect(4, Top(I), Bitmap.Width(), Top(I) + LineHeight), true,
                                       cxSingleLine | cxAlignLeft | cxAlignTop);
       }},
  };
  std::printf("%d lines of 10-60 characters, %d times per run, %d pixel font\n\n", LineCount, Repeats, PixelSize);
  for (const auto& [Name, Draw] : Paths) {
    Clear(Bitmap);
    Draw();
    const Integer CanvasInk = InkedPixels(Bitmap);
    Clear(Bitmap);
    Plain();
    const Integer PlainInk = InkedPixels(Bitmap);
    const auto [CanvasTime, PlainTime] = BestOfBoth(Draw, Plain);
    const double Ratio = CanvasTime / PlainTime;
    std::printf("%-28s canvas %8.3f ms   painter %8.3f ms   ratio %5.2f (target %.1f)%s   inked %d / %d\n", Name,
                CanvasTime * 1000, PlainTime * 1000, Ratio, Target, Ratio <= Target ? "" : "  ABOVE", CanvasInk,
                PlainInk);
    if (Ratio > Target) ++Failures;
  }
  std::printf("%s\n", Failures == 0 ? "every ratio is within its target" : "some ratios are above their target");
  return 0;
}
