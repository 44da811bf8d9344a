// The player's keys and controller buttons from "tarn\controls.cfg".
#include "game/controls_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "engine/platform/KInput.h"
#include "engine/platform/KSystem.h"
#include "game/input_mapping.h"
#include "game/user_files.h"

namespace {

constexpr const char* kActionNames[kControlActionCount] = {
    "left", "right", "up", "down", "jump", "run", "pause", "escape", "confirm"};
constexpr std::string_view kPadPrefix = "pad:";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";  // a byte-order mark some editors write
constexpr char kComment = '#';
constexpr char kAssign = '=';
constexpr char kSeparator = ',';

// One key or controller button named on a line, as written.
struct Item {
  std::string name;
  int key = KInput::kNoKey;  // engine key code, or kNoKey for a button
  uint32_t button = 0;       // joystick button mask, or 0 for a key
};

// A line that names a known action and only known keys and buttons.
struct Line {
  int number = 0;
  ControlAction action = ActionLeft;
  std::vector<Item> items;
  bool ignored = false;  // found bad once every line was read
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

int FindAction(std::string_view name) {
  for (int a = 0; a < kControlActionCount; ++a)
    if (SameLetters(name, kActionNames[a])) return a;
  return -1;
}

std::string Quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

bool Holds(const ActionBinding& binding, const Item& item) {
  if (item.button != 0) return (binding.buttons & item.button) != 0;
  return std::find(binding.keys.begin(), binding.keys.end(), item.key) != binding.keys.end();
}

void Add(ActionBinding* binding, const Item& item) {
  if (Holds(*binding, item)) return;
  if (item.button != 0) binding->buttons |= item.button;
  else binding->keys.push_back(item.key);
}

ActionBinding BindingOf(const Line& line) {
  ActionBinding binding;
  for (const Item& item : line.items) Add(&binding, item);
  return binding;
}

// Names one key or button; false with the reason when there is none such.
bool ParseItem(std::string_view text, Item* item, std::string* why) {
  item->name = std::string(text);
  if (text.empty()) {
    *why = "an empty name between commas (the comma key cannot be named)";
    return false;
  }
  if (text.size() >= kPadPrefix.size() && SameLetters(text.substr(0, kPadPrefix.size()), kPadPrefix)) {
    const std::string button(Trim(text.substr(kPadPrefix.size())));
    item->button = KInput::JoystickButtonFromControllerName(button.c_str());
    if (item->button == 0) *why = "unknown controller button " + Quoted(text);
    return item->button != 0;
  }
  item->key = KInput::KeyFromName(item->name.c_str());
  if (item->key == KInput::kNoKey) *why = "unknown key " + Quoted(text);
  return item->key != KInput::kNoKey;
}

// Reads "action = name, name, ..."; false with the reason for a bad line.
bool ParseLine(std::string_view text, Line* line, std::string* why) {
  const size_t assign = text.find(kAssign);
  if (assign == std::string_view::npos) {
    *why = "not of the form \"action = key, key, pad:button\"";
    return false;
  }
  const std::string_view name = Trim(text.substr(0, assign));
  const int action = FindAction(name);
  if (action < 0) {
    *why = "unknown action " + Quoted(name) +
           " (the actions are left, right, up, down, jump, run, pause, escape, confirm)";
    return false;
  }
  line->action = static_cast<ControlAction>(action);
  const std::string_view list = Trim(text.substr(assign + 1));
  if (list.empty()) {
    *why = std::string("no key or button for ") + Quoted(kActionNames[action]);
    return false;
  }
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(kSeparator, start);
    const size_t end = comma == std::string_view::npos ? list.size() : comma;
    Item item;
    if (!ParseItem(Trim(list.substr(start, end - start)), &item, why)) return false;
    line->items.push_back(item);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return true;
}

// The first key or button of a movement line that another movement action
// holds: the defaults of an action without a line in force, or an earlier
// line in force. Returns false when there is none.
bool FindClash(const std::vector<Line>& lines, const int lineOf[], size_t index,
               const ControlBindings& defaults, std::string* why) {
  const Line& line = lines[index];
  for (const Item& item : line.items) {
    for (int other = 0; other < kControlActionCount; ++other) {
      const auto action = static_cast<ControlAction>(other);
      if (action == line.action || !IsMovementAction(action)) continue;
      const int j = lineOf[other];
      const bool inForce = j >= 0 && !lines[j].ignored;
      if (inForce && static_cast<size_t>(j) > index) continue;  // the later line answers for it
      const ActionBinding held = inForce ? BindingOf(lines[j]) : defaults.actions[other];
      if (Holds(held, item)) {
        *why = Quoted(item.name) + " is already " + (item.button ? "a button" : "a key") +
               " of " + Quoted(kActionNames[other]);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

const char* ControlActionName(ControlAction action) {
  if (action < 0 || action >= kControlActionCount) return "";
  return kActionNames[action];
}

bool IsMovementAction(ControlAction action) {
  return action == ActionLeft || action == ActionRight || action == ActionUp ||
         action == ActionDown || action == ActionJump || action == ActionRun;
}

ControlBindings DefaultControlBindings() {
  ControlBindings b;
  b.actions[ActionLeft].keys = {KeyLeft};
  b.actions[ActionRight].keys = {KeyRight};
  b.actions[ActionUp].keys = {KeyUp};
  b.actions[ActionDown].keys = {KeyDown};
  b.actions[ActionJump].keys = {KeySpace, KeyLeftControl, KeyRightControl};
  b.actions[ActionJump].buttons = K_JOY_BUTTON2;
  b.actions[ActionRun].keys = {KeyLeftShift, KeyRightShift};
  b.actions[ActionRun].buttons = K_JOY_BUTTON1;
  b.actions[ActionPause].keys = {KeyP};
  b.actions[ActionPause].buttons = K_JOY_BUTTON9 | K_JOY_BUTTON10;
  b.actions[ActionEscape].keys = {KeyEscape};
  b.actions[ActionEscape].buttons = K_JOY_BUTTON6;
  // Button 2 both jumps and confirms, as the game has always had it.
  b.actions[ActionConfirm].keys = {KeyEnter};
  b.actions[ActionConfirm].buttons = K_JOY_BUTTON2;
  return b;
}

ControlBindings ParseControlsText(const char* text, size_t length,
                                  std::vector<ControlsProblem>* problems) {
  std::vector<ControlsProblem> found;
  std::vector<Line> lines;
  int lineOf[kControlActionCount];
  std::fill(std::begin(lineOf), std::end(lineOf), -1);

  std::string_view rest(text ? text : "", text ? length : 0);
  if (rest.substr(0, kUtf8Mark.size()) == kUtf8Mark) rest.remove_prefix(kUtf8Mark.size());
  for (int number = 1; !rest.empty(); ++number) {
    const size_t newline = rest.find('\n');
    const std::string_view raw = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    const std::string_view content = Trim(raw);
    if (content.empty() || content.front() == kComment) continue;
    Line line;
    line.number = number;
    std::string why;
    if (!ParseLine(content, &line, &why)) {
      found.push_back({number, why});
      continue;
    }
    if (lineOf[line.action] >= 0) {
      found.push_back({number, Quoted(kActionNames[line.action]) + " is already set on line " +
                                   std::to_string(lines[lineOf[line.action]].number)});
      continue;
    }
    lineOf[line.action] = static_cast<int>(lines.size());
    lines.push_back(line);
  }

  // A line set aside gives its action back its defaults, which may clash
  // with a line accepted before: check again until nothing changes.
  const ControlBindings defaults = DefaultControlBindings();
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].ignored || !IsMovementAction(lines[i].action)) continue;
      std::string why;
      if (FindClash(lines, lineOf, i, defaults, &why)) {
        lines[i].ignored = true;
        found.push_back({lines[i].number, why});
        changed = true;
      }
    }
  }

  ControlBindings bindings = defaults;
  for (const Line& line : lines)
    if (!line.ignored) bindings.actions[line.action] = BindingOf(line);
  std::stable_sort(found.begin(), found.end(),
                   [](const ControlsProblem& a, const ControlsProblem& b) { return a.line < b.line; });
  if (problems) *problems = found;
  return bindings;
}

ControlBindings LoadControlsFile() {
  char path[kSystemPathCapacity];
  if (!UserFileReadPath(kControlsFileName, path, sizeof path)) return DefaultControlBindings();
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    // No file is the usual case: the game's own keys, said nowhere.
    if (errno != ENOENT)
      std::fprintf(stderr, "bramblets2: cannot read %s: %s; the usual keys are used\n", path,
                   std::strerror(errno));
    return DefaultControlBindings();
  }
  std::string text(kControlsMaxBytes + 1, '\0');
  const size_t length = std::fread(&text[0], 1, text.size(), f);
  const bool readError = std::ferror(f) != 0;
  std::fclose(f);
  if (readError) {
    std::fprintf(stderr, "bramblets2: cannot read %s; the usual keys are used\n", path);
    return DefaultControlBindings();
  }
  if (length > kControlsMaxBytes)
    std::fprintf(stderr, "bramblets2: %s is longer than %zu bytes; the rest is ignored\n", path,
                 kControlsMaxBytes);
  std::vector<ControlsProblem> problems;
  const ControlBindings bindings =
      ParseControlsText(text.data(), std::min(length, kControlsMaxBytes), &problems);
  for (const ControlsProblem& p : problems)
    std::fprintf(stderr, "bramblets2: %s:%d: %s; the line is ignored\n", path, p.line,
                 p.text.c_str());
  return bindings;
}
