// Secret areas marked in a stage source. A line of the form
//   ;secret 12,30 14-17,30-31
// names the cells of one secret (column,row from 0, inclusive ranges with
// '-'). It is a comment to the stage compiler, so it never reaches the
// compiled stage; the validator and the route tests read it from the source.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

struct Cell {
  int x = 0;
  int y = 0;
};

// One secret: every cell its line names.
struct Secret {
  int line = 0;  // 1-based line of the source
  std::vector<Cell> cells;
};

// Reads every ";secret" line of a stage source. False with *error set
// ("file:line: ...") on a malformed line; other lines are not looked at.
bool ReadStageSecrets(const std::string& text, const std::string& file, std::vector<Secret>* secrets,
                      std::string* error);

// True when cell (x, y) belongs to the secret.
bool SecretHasCell(const Secret& secret, int x, int y);

}  // namespace assetgen
