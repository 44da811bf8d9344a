// Stage sources: one character per cell, compiled into the game's .pak maps.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Stage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<int> codes;  // row by row, index y * width + x
};

constexpr int kMinStageWidth = 25;
constexpr int kMinStageHeight = 19;
constexpr int kTileValueBase = 48;  // a cell stores its tile code + 48

// Compiles the text of a stage. On failure returns false and sets `error` to
// "<file>:<line>:<column>: <what>" (or "<file>: <what>" for whole-stage faults).
bool CompileStage(const std::string& text, const std::string& file, Stage* out, std::string* error);

// .pak bytes: width, height, then per cell the tile value and a zero second value.
std::vector<uint8_t> EncodePak(const Stage& stage);
// Reads a .pak back; false when the header is bad or the file is short.
bool DecodePak(const std::vector<uint8_t>& data, Stage* out);

// The character used for a code in sources (for messages and tests); 0 if none.
char StageCharForCode(int code);

// Checks a compiled stage for what the game needs to play and finish it:
// one start with a floor under it, a key, exactly one exit door, walkers
// standing on a floor run of at least three cells, shuttles with a solid
// cell at both ends of their row, tile codes below the kind icons, and a
// super block where there are bricks and a plum-power block where there are
// plum blocks. False with "<file>:<line>:<column>: <what>" (row and column
// of the map, counted from 1) or "<file>: <what>".
bool ValidateStage(const Stage& stage, const std::string& file, std::string* error);

// Names of the mechanics a stage uses ("ladders", "springs", "dig", ...), in a fixed order.
std::vector<std::string> StageMechanics(const Stage& stage);

// One line about a stage: size, fruit, enemies, keys and the mechanics used.
std::string StageSummary(const Stage& stage);

}  // namespace assetgen
