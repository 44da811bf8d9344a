// The player's own keys and controller buttons: the optional plain-text file
// "tarn\controls.cfg", kept where the progress file is kept and never
// written by the game. One line per action:
//
//   jump = Space, Left Ctrl, Right Ctrl, pad:a
//
// Keys by SDL's key names, controller buttons as "pad:" and SDL's
// game-controller button name; blank lines and lines starting with '#' are
// skipped. A line replaces that action's keys and buttons; an action without
// a line keeps the game's own. A bad line (unknown action, unknown key or
// button, an action given twice, a key or button already held by another
// movement action) is reported with its line number and ignored; the rest of
// the file still counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr const char* kControlsFileName = "tarn\\controls.cfg";
constexpr size_t kControlsMaxBytes = 64 * 1024;  // longer files are read up to here

// The actions a player can bind, in the order of the example file.
enum ControlAction {
  ActionLeft,
  ActionRight,
  ActionUp,
  ActionDown,
  ActionJump,
  ActionRun,
  ActionPause,
  ActionEscape,
  ActionConfirm,
  kControlActionCount
};

// The keys and controller buttons of one action.
struct ActionBinding {
  std::vector<int> keys;  // engine key codes 0..99, each once
  uint32_t buttons = 0;   // joystick button mask (KInput::JoystickButton)
};

// Every action's binding, indexed by ControlAction.
struct ControlBindings {
  ActionBinding actions[kControlActionCount];
};

// A bad line of the file: its number (1-based) and what is wrong with it.
struct ControlsProblem {
  int line;
  std::string text;
};

// The name an action has in the file ("left", "jump", ...).
const char* ControlActionName(ControlAction action);
// True for the actions that move the hero (left, right, up, down, jump,
// run): a key or button may serve only one of them.
bool IsMovementAction(ControlAction action);
// The game's own keys and buttons (also what a missing file gives).
ControlBindings DefaultControlBindings();
// Reads the file's text over the defaults; each bad line adds one problem,
// in line order, and changes nothing.
ControlBindings ParseControlsText(const char* text, size_t length,
                                  std::vector<ControlsProblem>* problems);
// Reads "tarn\controls.cfg" from where the game keeps its files (the
// defaults when there is none) and says each bad line once on stderr.
ControlBindings LoadControlsFile();
