// Archive lookup, member streams, disk fallback and broken archives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <string>
#include <vector>

#include "engine/host/host_system.h"
#include "engine/platform/KFile.h"
#include "engine/platform/KSystem.h"
#include "tar_builder.h"
#include "temp_dir.h"

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Reads a whole stream as the picture loaders do: seek to the end, tell, seek back, read.
std::string ReadAll(KFile &file) {
  unsigned size = 0;
  EXPECT_EQ(file.Seek(KFILE_SEEK_END, 0), KFILE_OK);
  EXPECT_EQ(file.Tell(&size), KFILE_OK);
  EXPECT_EQ(file.Seek(KFILE_SEEK_SET, 0), KFILE_OK);
  std::string data(size, '\0');
  if (size > 0) {
    EXPECT_EQ(file.Read(&data[0], size), KFILE_OK);
  }
  return data;
}

class ArchiveTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path.empty());
    HostOverrideProgramDirectory(dir.path.c_str());
    KSystem::InitSystem();
  }
  void TearDown() override {
    ReleaseArchives();
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
  }

  void Register(const std::string &name, const std::string &bytes) {
    dir.Write(name, bytes);
    ASSERT_EQ(RegisterArchive(dir.File(name).c_str()), KFILE_OK);
  }

  // Full path of a data file as the loaders pass it: built, then lower-cased.
  std::string LoaderPath(const char *name) { return Lower(KSystem::MakeFilePath(name)); }

  std::string OpenAndRead(const std::string &path, uint32_t *code) {
    KFile file;
    *code = file.Open(path.c_str(), KFILE_READ);
    return *code == KFILE_OK ? ReadAll(file) : std::string();
  }

  TempDir dir{"BrArchive"};
};

TEST_F(ArchiveTest, MemberNamesMatchIgnoringCaseRelativeToProgramDirectory) {
  Register("data.dat", TarBuilder().Add("TARN/World1.PRP", "tile kinds").End().bytes);
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead(LoaderPath("tarn\\world1.prp"), &code), "tile kinds");
  EXPECT_EQ(OpenAndRead("tarn/world1.prp", &code), "tile kinds");
  EXPECT_EQ(OpenAndRead("TARN\\WORLD1.prp", &code), "tile kinds");
}

TEST_F(ArchiveTest, DiskFallbackUsesTheRealDirectoryCase) {
  // The program directory has capitals; the loader lower-cased the whole path.
  Register("data.dat", TarBuilder().Add("other.bmp", "x").End().bytes);
  dir.Write("loose.bmp", "on disk");
  ASSERT_NE(dir.path, Lower(dir.path));
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead(LoaderPath("loose.bmp"), &code), "on disk");
  EXPECT_EQ(OpenAndRead(LoaderPath("missing.bmp"), &code), "");
  EXPECT_EQ(code, KFILE_NOTFOUND);
}

TEST_F(ArchiveTest, DirectoryAndLinkEntriesAreSkipped) {
  Register("data.dat", TarBuilder()
                           .Add("pic.bmp", "", '5')
                           .Add("pic.bmp", "target", '2')
                           .Add("pic.bmp", "", '1')
                           .Add("pic.bmp", "picture")
                           .Add("only-dir", "", '5')
                           .End()
                           .bytes);
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead("pic.bmp", &code), "picture");
  OpenAndRead("only-dir", &code);
  EXPECT_EQ(code, KFILE_NOTFOUND);
}

TEST_F(ArchiveTest, ZeroSizeMemberOpensButReadsNothing) {
  Register("data.dat", TarBuilder().Add("empty.txt", "").Add("next.txt", "next").End().bytes);
  KFile file;
  ASSERT_EQ(file.Open("empty.txt", KFILE_READ), KFILE_OK);
  EXPECT_EQ(ReadAll(file), "");  // seek to the end, tell 0
  char byte = 0;
  EXPECT_EQ(file.Read(&byte, 0), KFILE_READERROR);
  EXPECT_EQ(file.Read(&byte, 1), KFILE_READERROR);  // not the next header
}

TEST_F(ArchiveTest, MemberSeekTellAndReadStayInsideTheMember) {
  std::string data(700, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
  Register("data.dat", TarBuilder().Add("a.bin", data).Add("b.bin", "bbbb").End().bytes);
  KFile file;
  ASSERT_EQ(file.Open("a.bin", KFILE_READ), KFILE_OK);
  EXPECT_EQ(ReadAll(file), data);

  unsigned position = 0;
  file.Seek(KFILE_SEEK_SET, 690);
  file.Seek(KFILE_SEEK_CUR, 5);
  EXPECT_EQ(file.Tell(&position), KFILE_OK);
  EXPECT_EQ(position, 695u);
  char tail[10] = {};
  EXPECT_EQ(file.Read(tail, 10), KFILE_READERROR);  // only 5 bytes left
  EXPECT_EQ(std::string(tail, 5), data.substr(695));

  // Seeking before the member leaves the position alone.
  file.Seek(KFILE_SEEK_SET, 10);
  file.Seek(KFILE_SEEK_CUR, -20);
  EXPECT_EQ(file.Tell(&position), KFILE_OK);
  EXPECT_EQ(position, 10u);
}

TEST_F(ArchiveTest, OpeningTwiceFailsAndKeepsTheFirstOpen) {
  Register("data.dat", TarBuilder().Add("a.txt", "alpha").Add("b.txt", "beta").End().bytes);
  KFile file;
  ASSERT_EQ(file.Open("a.txt", KFILE_READ), KFILE_OK);
  EXPECT_EQ(file.Open("b.txt", KFILE_READ), KFILE_WRONGSTATE);
  EXPECT_EQ(ReadAll(file), "alpha");
  file.Close();
  file.Close();  // closing a closed stream does nothing
  ASSERT_EQ(file.Open("b.txt", KFILE_READ), KFILE_OK);
  // Members share the archive's handle; each positions it before reading.
  KFile other;
  ASSERT_EQ(other.Open("a.txt", KFILE_READ), KFILE_OK);
  EXPECT_EQ(ReadAll(file), "beta");
  EXPECT_EQ(ReadAll(other), "alpha");
}

TEST_F(ArchiveTest, SecondArchiveOnlyForNamesTheFirstLacks) {
  Register("first.dat", TarBuilder().Add("a.txt", "first").End().bytes);
  Register("second.dat", TarBuilder().Add("a.txt", "second").Add("b.txt", "only second").End().bytes);
  EXPECT_EQ(GetArchiveList().GetCount(), 2);
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead("a.txt", &code), "first");
  EXPECT_EQ(OpenAndRead("b.txt", &code), "only second");
}

TEST_F(ArchiveTest, ArchiveInsideAnArchiveSearchesOnlyItsOwnBytes) {
  const std::string inner = TarBuilder().Add("deep.txt", "inner data").End().bytes;
  Register("outer.dat", TarBuilder().Add("decoy.txt", "outer").Add("inner.dat", inner).End().bytes);
  ASSERT_EQ(RegisterArchive("inner.dat"), KFILE_OK);
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead("deep.txt", &code), "inner data");
  EXPECT_EQ(OpenAndRead("decoy.txt", &code), "outer");
}

TEST_F(ArchiveTest, ResultCodes) {
  dir.Write("plain.txt", "plain");
  KFile file;
  char byte = 0;
  unsigned position = 0;
  EXPECT_EQ(file.Read(&byte, 1), KFILE_WRONGSTATE);
  EXPECT_EQ(file.Seek(KFILE_SEEK_SET, 0), KFILE_WRONGSTATE);
  EXPECT_EQ(file.Tell(&position), KFILE_WRONGSTATE);
  EXPECT_EQ(file.Open(dir.File("plain.txt").c_str(), 999), KFILE_UNSUPPORTED);
  EXPECT_EQ(file.FindMember("plain.txt", &file), KFILE_WRONGSTATE);
  ASSERT_EQ(file.Open(dir.File("plain.txt").c_str(), KFILE_READ), KFILE_OK);
  EXPECT_EQ(file.Seek(3, 0), KFILE_UNSUPPORTED);
  EXPECT_EQ(ReadAll(file), "plain");
  char rest[8];
  EXPECT_EQ(file.Read(rest, 8), KFILE_READERROR);  // short read at the end

  EXPECT_EQ(RegisterArchive(dir.File("none.dat").c_str()), KFILE_NOTFOUND);
  EXPECT_EQ(GetArchiveList().GetCount(), 0);
}

TEST_F(ArchiveTest, OverlongNamesFailCleanly) {
  Register("data.dat", TarBuilder().Add(std::string(100, 'n'), "hundred").End().bytes);
  uint32_t code = 0;
  // A name filling the whole field, without a terminator, still matches.
  EXPECT_EQ(OpenAndRead(std::string(100, 'N'), &code), "hundred");
  // Longer names never match by their first 100 characters.
  OpenAndRead(std::string(101, 'n'), &code);
  EXPECT_EQ(code, KFILE_NOTFOUND);
  KArchive *archive = static_cast<KArchive *>(GetArchiveList().GetHead());
  KFile target;
  EXPECT_EQ(archive->FindMember(std::string(5000, 'n').c_str(), &target), KFILE_NOTFOUND);
  EXPECT_FALSE(target.IsOpen());
}

// Each broken archive ends the lookup with a code and leaves the disk file reachable.
struct BrokenArchive {
  const char *what;
  std::string bytes;
  uint32_t lookupCode;
};

std::vector<BrokenArchive> BrokenArchives() {
  const std::string good = TarBuilder().Add("a.txt", "alpha").bytes;  // no end blocks
  std::string truncatedHeader = good + std::string(200, 'x');
  return {
      {"size not octal", TarBuilder().AddRaw("x", "zz", '0', "data").End().bytes, KFILE_READERROR},
      {"negative size", TarBuilder().AddRaw("x", "-0000000001", '0', "data").End().bytes,
       KFILE_READERROR},
      {"huge size", TarBuilder().AddRaw("x", "77777777777", '0', "data").End().bytes, KFILE_READERROR},
      {"size past the end", TarBuilder().AddRaw("x", "00000002000", '0', "data").bytes, KFILE_READERROR},
      {"blank size field", TarBuilder().AddRaw("x", "           ", '0', "").End().bytes, KFILE_READERROR},
      {"no final zero block", good, KFILE_READERROR},
      {"cut inside a header", truncatedHeader, KFILE_READERROR},
      {"not tar at all", std::string(3000, 'Q'), KFILE_READERROR},
      {"shorter than a block", "hello", KFILE_READERROR},
      {"empty file", "", KFILE_READERROR},
      {"only the end blocks", TarBuilder().End().bytes, KFILE_NOTFOUND},
  };
}

TEST_F(ArchiveTest, BrokenArchivesFallBackToDisk) {
  dir.Write("wanted.txt", "from disk");
  for (const BrokenArchive &broken : BrokenArchives()) {
    SCOPED_TRACE(broken.what);
    Register("broken.dat", broken.bytes);
    KArchive *archive = static_cast<KArchive *>(GetArchiveList().GetHead());
    KFile target;
    EXPECT_EQ(archive->FindMember("wanted.txt", &target), broken.lookupCode);
    EXPECT_FALSE(target.IsOpen());
    uint32_t code = 0;
    EXPECT_EQ(OpenAndRead(dir.File("wanted.txt"), &code), "from disk");
    ReleaseArchives();
  }
}

TEST_F(ArchiveTest, SizeFieldAllowsLeadingBlanksAndStopsAtNonOctal) {
  Register("data.dat", TarBuilder()
                           .AddRaw("a.txt", "   5 junk", '0', "alpha")
                           .AddRaw("b.txt", std::string("4\0" "99", 4), '0', "beta")
                           .End()
                           .bytes);
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead("a.txt", &code), "alpha");
  EXPECT_EQ(OpenAndRead("b.txt", &code), "beta");
}

// Archives written by the everyday tar tools, from inside the data folder as
// a user repacking the game's data would.
bool HaveTool(const char *tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

TEST_F(ArchiveTest, EveryTarToolsArchiveIsRead) {
  const std::string deep = "deep/" + std::string(60, 'd') + "/" + std::string(60, 'e') + "/long.bmp";
  const std::pair<std::string, std::string> members[] = {
      {"sprites.bmp", "sprite sheet"}, {"tarn/world1.prp", "tile kinds"},
      {deep, "a path longer than the name field"}, {"Panels.BMP", "panels"}};
  const std::string src = dir.File("src");
  for (const auto &m : members) dir.Write("src/" + m.first, m.second);

  const std::string python = "python3 -c \"import sys, tarfile, os; "
                             "t = tarfile.open(sys.argv[1], 'w', format=getattr(tarfile, sys.argv[2])); "
                             "[t.add(n) for n in sorted(os.listdir('.'))] and None; t.add('.'); t.close()\"";
  const struct {
    const char *tool;
    std::string command;  // run inside src, writing the archive named $1
  } kinds[] = {
      {"tar", "tar -cf \"$1\" ./*"},  // names begin with "./"
      {"tar", "tar --format=gnu -cf \"$1\" ."},
      {"tar", "tar --format=ustar -cf \"$1\" *"},
      {"tar", "tar --format=pax -cf \"$1\" ."},
      {"bsdtar", "bsdtar -cf \"$1\" ."},
      {"bsdtar", "bsdtar --format=ustar -cf \"$1\" *"},
      {"python3", python + " \"$1\" PAX_FORMAT"},
      {"python3", python + " \"$1\" GNU_FORMAT"},
      {"python3", python + " \"$1\" USTAR_FORMAT"},
  };
  int index = 0;
  for (const auto &kind : kinds) {
    SCOPED_TRACE(kind.command);
    ASSERT_TRUE(HaveTool(kind.tool)) << kind.tool << " is missing: install it (scripts/setup does)";
    const std::string archive = dir.File("data" + std::to_string(index++) + ".dat");
    const std::string run = "cd '" + src + "' && sh -c '" + kind.command + "' sh '" + archive + "'";
    // The shell's quoting: the command itself holds no single quote but the Python one.
    std::string quoted;
    for (char c : kind.command) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    ASSERT_EQ(std::system(("cd '" + src + "' && sh -c '" + quoted + "' sh '" + archive + "'").c_str()), 0)
        << run;
    ReleaseArchives();
    ASSERT_EQ(RegisterArchive(archive.c_str()), KFILE_OK);
    for (const auto &m : members) {
      uint32_t code = 0;
      EXPECT_EQ(OpenAndRead(LoaderPath(m.first.c_str()), &code), m.second) << m.first;
      EXPECT_EQ(code, KFILE_OK) << m.first;
    }
    // A directory entry is no member, and nothing of it is on disk either.
    uint32_t code = 0;
    OpenAndRead(LoaderPath("tarn"), &code);
    EXPECT_EQ(code, KFILE_NOTFOUND);
  }
}

TEST_F(ArchiveTest, ExtendedNamesNameOnlyTheMemberThatFollows) {
  const std::string longName = std::string(150, 'n') + ".bmp";
  TarBuilder tar;
  tar.Add("pax_global_header", "38 comment=global records are skipped\n", 'g')
      .Add("PaxHeaders/x", "20 path=renamed.bmp\n", 'x')
      .Add("ignored-short-name.bmp", "renamed")
      .Add("plain.bmp", "plain")
      .Add("././@LongLink", longName + '\0', 'L')
      .Add("cut-off-name", "long")
      .Add("././@LongLink", std::string(5000, 'z') + '\0', 'L')  // longer than any lookup
      .Add(std::string(100, 'z'), "hidden")
      .Add("./dotted/./x.bmp", "dotted")
      .End();
  Register("data.dat", tar.bytes);
  uint32_t code = 0;
  EXPECT_EQ(OpenAndRead(LoaderPath("renamed.bmp"), &code), "renamed");
  OpenAndRead(LoaderPath("ignored-short-name.bmp"), &code);
  EXPECT_EQ(code, KFILE_NOTFOUND);
  EXPECT_EQ(OpenAndRead(LoaderPath("plain.bmp"), &code), "plain");  // the pax path is used up
  EXPECT_EQ(OpenAndRead(LoaderPath(longName.c_str()), &code), "long");
  OpenAndRead(LoaderPath(std::string(100, 'z').c_str()), &code);
  EXPECT_EQ(code, KFILE_NOTFOUND);
  EXPECT_EQ(OpenAndRead(LoaderPath("dotted/./x.bmp"), &code), "dotted");
}

}  // namespace
