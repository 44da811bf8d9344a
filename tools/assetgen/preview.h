// Review sheets: a picture at 2x with its rectangles outlined and labelled,
// and mock-ups of the menu and of whole stages put together from the sheets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "image.h"
#include "layout.h"
#include "stages.h"

namespace assetgen {

Image MakePreview(const Image& sheet, const std::vector<NamedRect>& rects, int scale);

// Copies a rectangle of src to dst at (dx, dy), skipping key-blue pixels.
void BlitKeyed(Image& dst, const Image& src, const Rect& s, int dx, int dy);

Image MockMenu(const Image& title, const Image& sprites, int stageNumber);
Image MockStage(const Stage& stage, const Image& backdrop, const Image& tiles, const Image& sprites,
                const std::vector<int32_t>& kinds);

}  // namespace assetgen
