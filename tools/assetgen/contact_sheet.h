// The episode on one review picture: every stage's mock-up shrunk to the
// same scale, in reading order, each under a line naming it and its measure.
#pragma once
#include <string>
#include <vector>

#include "image.h"
#include "stage_measure.h"

namespace assetgen {

struct SheetEntry {
  Image picture;      // already shrunk
  std::string label;  // drawn above the picture
};

// Each pixel the average of a factor x factor block (blocks cut by the
// right or bottom edge average what they hold). factor < 1 counts as 1.
Image ShrinkImage(const Image& img, int factor);

// "stage 3   120 x 19   sky 0.45   top 6   enemies 3   fruit 40   secrets 0"
std::string SheetLabel(const StageMeasure& m);

// The entries laid out left to right in rows no wider than the widest entry
// or a fixed page width, whichever is more, on a dark ground.
Image ContactSheet(const std::vector<SheetEntry>& entries);

}  // namespace assetgen
