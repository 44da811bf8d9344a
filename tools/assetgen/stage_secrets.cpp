#include "stage_secrets.h"

#include <sstream>

namespace assetgen {

namespace {

constexpr const char* kSecretTag = ";secret";
constexpr int kMaxCoordinate = 9999;     // far beyond any stage's size
constexpr size_t kMaxCellsPerSecret = 4096;

// "a" or "a-b" with 0 <= a <= b <= kMaxCoordinate.
bool ParseRange(const std::string& text, int* from, int* to) {
  const size_t dash = text.find('-');
  auto number = [](const std::string& s, int* out) {
    if (s.empty() || s.size() > 4) return false;
    int v = 0;
    for (char c : s) {
      if (c < '0' || c > '9') return false;
      v = v * 10 + (c - '0');
    }
    *out = v;
    return v <= kMaxCoordinate;
  };
  if (dash == std::string::npos) {
    if (!number(text, from)) return false;
    *to = *from;
    return true;
  }
  return number(text.substr(0, dash), from) && number(text.substr(dash + 1), to) && *from <= *to;
}

}  // namespace

bool ReadStageSecrets(const std::string& text, const std::string& file, std::vector<Secret>* secrets,
                      std::string* error) {
  secrets->clear();
  std::istringstream lines(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tag = std::char_traits<char>::length(kSecretTag);
    if (line.compare(0, tag, kSecretTag) != 0) continue;
    if (line.size() > tag && line[tag] != ' ' && line[tag] != '\t') continue;  // ";secrets ..." is a comment
    const std::string where = file + ":" + std::to_string(lineNo) + ": ";
    std::istringstream words(line.substr(tag));
    Secret secret;
    secret.line = lineNo;
    std::string word;
    while (words >> word) {
      const size_t comma = word.find(',');
      int x0, x1, y0, y1;
      if (comma == std::string::npos || !ParseRange(word.substr(0, comma), &x0, &x1) ||
          !ParseRange(word.substr(comma + 1), &y0, &y1)) {
        *error = where + "a secret cell is written x,y or x0-x1,y0-y1, not \"" + word + "\"";
        return false;
      }
      for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
          if (secret.cells.size() >= kMaxCellsPerSecret) {
            *error = where + "a secret of more than " + std::to_string(kMaxCellsPerSecret) + " cells";
            return false;
          }
          secret.cells.push_back({x, y});
        }
    }
    if (secret.cells.empty()) {
      *error = where + "a secret line names no cell";
      return false;
    }
    secrets->push_back(std::move(secret));
  }
  return true;
}

bool SecretHasCell(const Secret& secret, int x, int y) {
  for (const Cell& c : secret.cells)
    if (c.x == x && c.y == y) return true;
  return false;
}

}  // namespace assetgen
