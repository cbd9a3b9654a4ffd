#pragma once
// TImageList: a row of equally sized images with optional masks, drawn
// normally (masked pixels left out) or disabled (embossed in the button
// highlight and shadow colours).
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/rtl/component.h"

class TImageList : public TComponent {
  KORVANE_CLASS(TImageList, TComponent)
  explicit TImageList(TComponent* AOwner);
  // An image list of the given image size, without owner.
  static std::unique_ptr<TImageList> CreateSize(Integer AWidth, Integer AHeight);
  ~TImageList() override;

  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  // Changing a size clears the list.
  void SetWidth(Integer Value);
  void SetHeight(Integer Value);
  Integer Count() const { return static_cast<Integer>(FImages.size()); }
  // Colour drawn under transparent pixels; clNone leaves them out.
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);

  // Adds Image cut into Width-wide pieces (at least one); Mask (may be
  // nullptr) marks with white the pixels to leave out. Answers the index of
  // the first image added, -1 for an empty image.
  Integer Add(TBitmap* Image, TBitmap* Mask);
  // The same with the pixels of MaskColor left out; clDefault takes the
  // colour of the image's bottom-left pixel.
  Integer AddMasked(TBitmap* Image, TColor MaskColor);
  void Replace(Integer Index, TBitmap* Image, TBitmap* Mask);
  void Delete(Integer Index);
  void Clear();
  // Copies image Index into Image (size Width x Height, transparent pixels
  // in BkColor, or white for clNone). Raises EInvalidOperation for a bad index.
  void GetBitmap(Integer Index, TBitmap* Image);
  // Draws image Index at (X, Y). A bad index draws nothing.
  void Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled = true);

  TNotifyEvent OnChange;

private:
  struct TEntry;
  void Changed();
  Integer AddEntries(TBitmap* Image, const std::vector<bool>& Transparent);

  Integer FWidth = 16;
  Integer FHeight = 16;
  TColor FBkColor = clNone;
  std::vector<std::unique_ptr<TEntry>> FImages;
};
