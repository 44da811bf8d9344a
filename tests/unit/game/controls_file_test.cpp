// The player's own keys and buttons: what a controls file gives, how each bad
// line is told and set aside, and where the file is read from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "engine/host/host_system.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KSystem.h"
#include "game/config_file.h"
#include "game/controls_file.h"
#include "game/input_mapping.h"
#include "harness/harness.h"

namespace fs = std::filesystem;

namespace {

constexpr int kKeyA = 25, kKeyJ = 34, kKeyW = 47;

ControlBindings Parse(const std::string& text, std::vector<ControlsProblem>* problems) {
  return ParseControlsText(text.data(), text.size(), problems);
}

// Same keys (in any order) and buttons for every action.
bool SameBindings(const ControlBindings& a, const ControlBindings& b) {
  for (int i = 0; i < kControlActionCount; ++i) {
    const std::set<int> ka(a.actions[i].keys.begin(), a.actions[i].keys.end());
    const std::set<int> kb(b.actions[i].keys.begin(), b.actions[i].keys.end());
    if (ka != kb || a.actions[i].buttons != b.actions[i].buttons) return false;
  }
  return true;
}

std::vector<int> ProblemLines(const std::vector<ControlsProblem>& problems) {
  std::vector<int> lines;
  for (const auto& p : problems) lines.push_back(p.line);
  return lines;
}

}  // namespace

TEST(ControlsFile, NoLinesGiveTheGameKeysExactly) {
  const ControlBindings defaults = DefaultControlBindings();
  EXPECT_EQ(defaults.actions[ActionJump].keys,
            (std::vector<int>{KeySpace, KeyLeftControl, KeyRightControl}));
  EXPECT_EQ(defaults.actions[ActionJump].buttons, K_JOY_BUTTON2);
  EXPECT_EQ(defaults.actions[ActionConfirm].buttons, K_JOY_BUTTON2);  // the shared button
  EXPECT_EQ(defaults.actions[ActionPause].buttons, K_JOY_BUTTON9 | K_JOY_BUTTON10);
  EXPECT_EQ(defaults.actions[ActionLeft].buttons, 0u);  // the stick steers, not buttons

  for (const std::string text : {"", "\n\n", "# only a comment\n   # and another\n", "\xEF\xBB\xBF"}) {
    std::vector<ControlsProblem> problems;
    EXPECT_TRUE(SameBindings(Parse(text, &problems), defaults)) << text;
    EXPECT_TRUE(problems.empty()) << text;
  }
  std::vector<ControlsProblem> problems;
  EXPECT_TRUE(SameBindings(ParseControlsText(nullptr, 10, &problems), defaults));
}

TEST(ControlsFile, ALineReplacesOnlyItsActionAndTheRestKeepTheirDefaults) {
  std::vector<ControlsProblem> problems;
  // Letter case, spaces, CRLF ends and a name given twice on a line are all fine.
  const ControlBindings b =
      Parse("\xEF\xBB\xBF  JUMP=j , Left Ctrl,J\r\nconfirm = Return, PAD:b ,pad:A\r\n", &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(b.actions[ActionJump].keys, (std::vector<int>{kKeyJ, KeyLeftControl}));
  EXPECT_EQ(b.actions[ActionJump].buttons, 0u);  // no pad: named, so none
  EXPECT_EQ(b.actions[ActionConfirm].buttons,
            K_JOY_BUTTON2 | KInput::JoystickButtonFromControllerName("b"));
  ControlBindings expected = DefaultControlBindings();
  expected.actions[ActionJump] = b.actions[ActionJump];
  expected.actions[ActionConfirm] = b.actions[ActionConfirm];
  EXPECT_TRUE(SameBindings(b, expected));
}

TEST(ControlsFile, EachBadLineIsToldOnceWithItsNumberAndChangesNothing) {
  const std::string text =
      "# my keys\n"          // 1
      "\n"                   // 2
      "jump = J, Blorp\n"    // 3 unknown key
      "fly = Q\n"            // 4 unknown action
      "left = A\n"           // 5
      "right = A\n"          // 6 A already walks left
      "up = W\n"             // 7
      "up = Up\n"            // 8 given twice
      "down = pad:zz\n"      // 9 unknown button
      "run = Space\n"        // 10 Space still jumps (line 3 was set aside)
      "pause = Space\n"      // 11 fine: pausing is not a movement
      "escape\n"             // 12 no '='
      "confirm =  \n"        // 13 nothing named
      "run = Left Shift, ,\n";  // 14 an empty name
  std::vector<ControlsProblem> problems;
  const ControlBindings b = Parse(text, &problems);
  EXPECT_EQ(ProblemLines(problems), (std::vector<int>{3, 4, 6, 8, 9, 10, 12, 13, 14}));
  auto told = [&](int line, const char* words) {
    for (const auto& p : problems)
      if (p.line == line) return p.text.find(words) != std::string::npos;
    return false;
  };
  EXPECT_TRUE(told(3, "unknown key \"Blorp\""));
  EXPECT_TRUE(told(4, "unknown action \"fly\""));
  EXPECT_TRUE(told(6, "\"A\" is already a key of \"left\""));
  EXPECT_TRUE(told(8, "line 7"));
  EXPECT_TRUE(told(9, "unknown controller button \"pad:zz\""));
  EXPECT_TRUE(told(10, "\"jump\""));

  const ControlBindings d = DefaultControlBindings();
  EXPECT_EQ(b.actions[ActionLeft].keys, std::vector<int>{kKeyA});
  EXPECT_EQ(b.actions[ActionUp].keys, std::vector<int>{kKeyW});
  EXPECT_EQ(b.actions[ActionPause].keys, std::vector<int>{KeySpace});
  EXPECT_EQ(b.actions[ActionPause].buttons, 0u);
  for (ControlAction a : {ActionRight, ActionDown, ActionJump, ActionRun, ActionEscape, ActionConfirm}) {
    EXPECT_EQ(b.actions[a].keys, d.actions[a].keys) << ControlActionName(a);
    EXPECT_EQ(b.actions[a].buttons, d.actions[a].buttons) << ControlActionName(a);
  }
}

TEST(ControlsFile, SwapsAreFineButNoKeyOrButtonEverServesTwoMovements) {
  std::vector<ControlsProblem> problems;
  // Swapped either way round: the later line answers for what it takes.
  ControlBindings b = Parse("left = Right\nright = Left\njump = pad:x\nrun = pad:a\n", &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(b.actions[ActionLeft].keys, std::vector<int>{KeyRight});
  EXPECT_EQ(b.actions[ActionRight].keys, std::vector<int>{KeyLeft});
  EXPECT_EQ(b.actions[ActionJump].buttons, K_JOY_BUTTON1);
  EXPECT_EQ(b.actions[ActionRun].buttons, K_JOY_BUTTON2);

  // A controller button taken from a movement that keeps its defaults.
  Parse("run = pad:a\n", &problems);
  EXPECT_EQ(ProblemLines(problems), std::vector<int>{1});

  // The second line is set aside, so left has Left again, and the first line
  // then clashes with it: both go, and Left walks left only.
  b = Parse("jump = Left\nleft = Left\n", &problems);
  EXPECT_EQ(ProblemLines(problems), (std::vector<int>{1, 2}));
  EXPECT_TRUE(SameBindings(b, DefaultControlBindings()));
}

namespace {

// A game folder of its own with a per-user folder beside it.
class ControlsFileOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = HarnessMakeTempDir();
    ASSERT_FALSE(dir_.empty());
    HostOverrideProgramDirectory(dir_.c_str());
    KSystem::InitSystem();
    const char* xdg = std::getenv("XDG_DATA_HOME");
    hadXdg_ = xdg != nullptr;
    if (xdg) savedXdg_ = xdg;
    setenv("XDG_DATA_HOME", (dir_ + "/xdg").c_str(), 1);
  }
  void TearDown() override {
    SetControlBindings(DefaultControlBindings());
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
    if (hadXdg_) setenv("XDG_DATA_HOME", savedXdg_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string dir_;
  bool hadXdg_ = false;
  std::string savedXdg_;
};

}  // namespace

TEST_F(ControlsFileOnDiskTest, MissingFileIsQuietAndNeverMade) {
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(SameBindings(LoadControlsFile(), DefaultControlBindings()));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(fs::exists(dir_ + "/tarn/controls.cfg"));
  EXPECT_FALSE(fs::exists(dir_ + "/xdg/bramblets2/tarn/controls.cfg"));

  // A folder where the file should be is said, and the usual keys are used.
  fs::create_directories(dir_ + "/tarn/controls.cfg");
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(SameBindings(LoadControlsFile(), DefaultControlBindings()));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot read"), std::string::npos);
}

TEST_F(ControlsFileOnDiskTest, BadLinesAreSaidOnceAndTheProgressFileKeepsItsBytes) {
  ReadConfig();  // makes the stored default progress file
  const std::string progress = ReadAll(dir_ + "/tarn/br2.cfg");
  ASSERT_FALSE(progress.empty());
  const std::string controls = "jump = J\nrun = Shiftt\n";
  WriteAll(dir_ + "/tarn/controls.cfg", controls);

  ::testing::internal::CaptureStderr();
  SetControlBindings(LoadControlsFile());
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("controls.cfg:2: unknown key \"Shiftt\""), std::string::npos) << said;
  EXPECT_EQ(said.find("controls.cfg:1:"), std::string::npos) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "said once: " << said;
  EXPECT_EQ(CurrentControlBindings().actions[ActionJump].keys, std::vector<int>{kKeyJ});

  ASSERT_TRUE(WriteConfig());
  ReadConfig();
  EXPECT_EQ(ReadAll(dir_ + "/tarn/br2.cfg"), progress);
  EXPECT_EQ(ReadAll(dir_ + "/tarn/controls.cfg"), controls);
}

TEST_F(ControlsFileOnDiskTest, AnInstalledGameReadsThePerUserFile) {
  WriteAll(dir_ + "/tarn/controls.cfg", "jump = W\n");
  WriteAll(dir_ + "/xdg/bramblets2/tarn/controls.cfg", "jump = J\n");
  EXPECT_EQ(LoadControlsFile().actions[ActionJump].keys, std::vector<int>{kKeyW});  // beside it
  WriteAll(dir_ + "/bramblets2.installed", dir_ + "\n");
  EXPECT_EQ(LoadControlsFile().actions[ActionJump].keys, std::vector<int>{kKeyJ});
}

TEST(ControlsFile, TheInstalledExampleHoldsTheGameKeysExactly) {
  std::ifstream in(std::string(BR_SOURCE_DIR) + "/data/desktop/controls.cfg", std::ios::binary);
  ASSERT_TRUE(in.good());
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  std::vector<ControlsProblem> problems;
  EXPECT_TRUE(SameBindings(Parse(text, &problems), DefaultControlBindings()));
  EXPECT_TRUE(problems.empty()) << problems[0].line << ": " << problems[0].text;
  // Every action has its line, so the example shows them all.
  for (int a = 0; a < kControlActionCount; ++a)
    EXPECT_NE(text.find(std::string("\n") + ControlActionName(static_cast<ControlAction>(a)) + " "),
              std::string::npos) << ControlActionName(static_cast<ControlAction>(a));
}
