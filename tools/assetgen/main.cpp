// Generates the game's data beside the executable: data.dat (all pictures),
// tarn/world1.prp (tile kinds) and tarn/e1sN.pak (stages compiled from text),
// printing the measure of the episode; with --preview also review pictures,
// among them episode.png, all stages on one sheet.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "contact_sheet.h"
#include "image.h"
#include "layout.h"
#include "preview.h"
#include "screens.h"
#include "sprites.h"
#include "stage_measure.h"
#include "stages.h"
#include "tar.h"
#include "tiles.h"

using namespace assetgen;

namespace {

constexpr int kStageCount = 20;
constexpr int kPreviewScale = 2;
constexpr int kSheetShrink = 8;  // the contact sheet shows a 32-pixel tile as 4 pixels
constexpr size_t kPreviewStages = 20;

bool ReadText(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *out = ss.str();
  return true;
}

bool MakeDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST; }

int Fail(const std::string& what) {
  std::fprintf(stderr, "assetgen: %s\n", what.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir = ".", stageDir, previewDir;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--out"))
      outDir = argv[i + 1];
    else if (!std::strcmp(argv[i], "--stages"))
      stageDir = argv[i + 1];
    else if (!std::strcmp(argv[i], "--preview"))
      previewDir = argv[i + 1];
    else
      return Fail(std::string("unknown option ") + argv[i]);
  }
  if (argc % 2 == 0) return Fail("usage: assetgen --out DIR --stages DIR [--preview DIR]");

  // Stages first: a broken stage source should stop the build early.
  std::vector<Stage> stages;
  std::vector<std::vector<uint8_t>> paks;
  std::vector<StageMeasure> measures;
  if (!stageDir.empty()) {
    std::string fallback;
    const bool haveFallback = ReadText(stageDir + "/placeholder.txt", &fallback);
    for (int n = 1; n <= kStageCount; ++n) {
      const std::string name = "e1s" + std::to_string(n) + ".txt";
      std::string text, file = name;
      if (!ReadText(stageDir + "/" + name, &text)) {
        if (!haveFallback) return Fail("no source for stage " + std::to_string(n) + " and no placeholder.txt");
        text = fallback;
        file = "placeholder.txt";
      }
      Stage stage;
      std::vector<Secret> secrets;
      StageMeasure measure;
      measure.stage = n;
      std::string error;
      if (!CompileStage(text, file, &stage, &error)) return Fail(error);
      if (!ValidateStage(stage, file, &error)) return Fail(error);
      if (!ReadStageSecrets(text, file, &secrets, &error)) return Fail(error);
      if (!MeasureStage(stage, secrets, file, &measure, &error)) return Fail(error);
      if (n == 1) std::printf("%s\n", MeasureTableHeader().c_str());
      std::printf("%s\n", MeasureTableRow(measure).c_str());
      paks.push_back(EncodePak(stage));
      stages.push_back(std::move(stage));
      measures.push_back(std::move(measure));
    }
    // the targets are the tests' to enforce; the build only reports them
    const std::vector<std::string> misses = EpisodeMisses(measures);
    for (const std::string& miss : misses) std::printf("episode target missed: %s\n", miss.c_str());
    if (misses.empty()) std::printf("episode targets: all met\n");
  }

  const Image sprites = PaintSpriteSheet();
  const Image tiles = PaintTileSheet();
  const Image title = PaintTitleScreen();
  const Image backdrop = PaintWorldBackdrop();
  const std::vector<TarMember> members = {
      {"panels.bmp", EncodeBmp(PaintCurtain())},
      {"sprites.bmp", EncodeBmp(sprites)},
      {"presblts.bmp", EncodeBmp(title)},
      {"world1.bmp", EncodeBmp(backdrop)},
      {"levelscore.bmp", EncodeBmp(PaintScoreScreen())},
      {"endoflevel.bmp", EncodeBmp(PaintEndingScreen())},
      {"credit.bmp", EncodeBmp(PaintCreditsScreen())},
      {"table1blts.bmp", EncodeBmp(tiles)},
      {"gomme.bmp", EncodeBmp(PaintEraser())},
      {"selection.bmp", EncodeBmp(PaintBrushMark())},
      {"souris.bmp", EncodeBmp(PaintEditorCursor())},
  };
  if (!WriteFile(outDir + "/data.dat", BuildTar(members))) return Fail("cannot write " + outDir + "/data.dat");

  const std::string tarn = outDir + "/tarn";
  if (!MakeDir(tarn)) return Fail("cannot create " + tarn);
  if (!WriteFile(tarn + "/world1.prp", EncodeKindTable(TileKindTable())))
    return Fail("cannot write " + tarn + "/world1.prp");
  for (size_t i = 0; i < paks.size(); ++i) {
    const std::string path = tarn + "/e1s" + std::to_string(i + 1) + ".pak";
    if (!WriteFile(path, paks[i])) return Fail("cannot write " + path);
  }

  if (!previewDir.empty()) {
    if (!MakeDir(previewDir)) return Fail("cannot create " + previewDir);
    WritePng(MakePreview(sprites, AllSpriteRects(), kPreviewScale), previewDir + "/sprites.png");
    std::vector<std::string> labels;  // kept alive while the rectangles point at them
    for (int c : PaintedTileCodes()) labels.push_back(std::to_string(c));
    std::vector<NamedRect> tileRects;
    const std::vector<int> painted = PaintedTileCodes();
    for (size_t i = 0; i < painted.size(); ++i) tileRects.push_back({labels[i].c_str(), TileRect(painted[i])});
    WritePng(MakePreview(tiles, tileRects, kPreviewScale), previewDir + "/tiles.png");
    WritePng(MockMenu(title, sprites, 12), previewDir + "/menu_mock.png");
    std::vector<SheetEntry> sheet;
    for (size_t i = 0; i < stages.size() && i < kPreviewStages; ++i) {
      Image mock = MockStage(stages[i], backdrop, tiles, sprites, TileKindTable());
      WritePng(mock, previewDir + "/stage" + std::to_string(i + 1) + "_mock.png");
      sheet.push_back({ShrinkImage(mock, kSheetShrink), SheetLabel(measures[i])});
    }
    if (!sheet.empty()) WritePng(ContactSheet(sheet), previewDir + "/episode.png");
    for (const TarMember& m : members) {
      Image img;
      if (m.name != "sprites.bmp" && m.name != "table1blts.bmp" && DecodeBmp(m.data, &img))
        WritePng(img, previewDir + "/" + m.name.substr(0, m.name.size() - 4) + ".png");
    }
  }
  return 0;
}
