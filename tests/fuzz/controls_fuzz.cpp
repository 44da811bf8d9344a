// Fuzzes the controls file reader: whatever the text, every key is an engine
// key code, no key or button serves two movements, each bad line is told
// once and within the text, and a second reading gives the same.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

#include "engine/platform/KInput.h"
#include "game/controls_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  std::vector<ControlsProblem> problems;
  const ControlBindings b = ParseControlsText(text, size, &problems);

  int lines = 1;
  for (size_t i = 0; i < size; ++i) lines += text[i] == '\n';
  std::set<int> told;
  for (const ControlsProblem& p : problems) {
    Check(p.line >= 1 && p.line <= lines);
    Check(told.insert(p.line).second);
  }
  std::set<int> movementKeys;
  uint32_t movementButtons = 0;
  for (int a = 0; a < kControlActionCount; ++a) {
    const bool movement = IsMovementAction(static_cast<ControlAction>(a));
    std::set<int> own;
    for (int key : b.actions[a].keys) {
      Check(key >= 0 && key < KInput::kKeyCount);
      Check(own.insert(key).second);
      if (movement) Check(movementKeys.insert(key).second);
    }
    if (movement) {
      Check((movementButtons & b.actions[a].buttons) == 0);
      movementButtons |= b.actions[a].buttons;
    }
  }

  std::vector<ControlsProblem> again;
  const ControlBindings c = ParseControlsText(text, size, &again);
  Check(again.size() == problems.size());
  for (int a = 0; a < kControlActionCount; ++a)
    Check(c.actions[a].keys == b.actions[a].keys && c.actions[a].buttons == b.actions[a].buttons);
  return 0;
}
