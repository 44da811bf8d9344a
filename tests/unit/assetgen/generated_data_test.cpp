// The files the build writes beside the game: data.dat opens with the
// engine's archive reader and every picture decodes; the tile table and the
// stages are where the game looks for them.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "engine/host/host_image.h"
#include "engine/platform/KFile.h"
#include "engine/platform/KSystem.h"
#include "stages.h"
#include "tar.h"
#include "tiles.h"

using namespace assetgen;

namespace {

bool ReadDisk(const char* path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
  std::fclose(f);
  *out = std::move(data);
  return true;
}

// GTEST_SKIP only leaves the function it is written in, so tests skip
// through this macro rather than a helper function.
#ifdef BR_DATA_GENERATED
#define REQUIRE_GENERATED() (void)0
#else
#define REQUIRE_GENERATED() GTEST_SKIP() << "data generation is switched off in this build"
#endif

}  // namespace

TEST(GeneratedData, ArchiveOpensWithTheEngineAndEveryPictureDecodes) {
  REQUIRE_GENERATED();
  ASSERT_EQ(RegisterArchive(KSystem::MakeFilePath("data.dat")), KFILE_OK);
  const struct {
    const char* name;
    int w, h;
  } pictures[] = {{"panels.bmp", 800, 600},   {"sprites.bmp", 1024, 1024}, {"presblts.bmp", 800, 600},
                  {"world1.bmp", 800, 600},   {"levelscore.bmp", 800, 600}, {"endoflevel.bmp", 800, 600},
                  {"credit.bmp", 800, 600},   {"table1blts.bmp", 800, 640}, {"gomme.bmp", 32, 32},
                  {"selection.bmp", 32, 32}, {"souris.bmp", 32, 32}};
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.name);
    std::vector<uint8_t> disk;
    // only the archive holds the pictures: nothing loose beside the program
    EXPECT_FALSE(ReadDisk(KSystem::MakeFilePath(p.name), &disk));
    KFile f;
    ASSERT_EQ(f.Open(KSystem::MakeFilePath(p.name), KFILE_READ), KFILE_OK);
    unsigned size = 0;
    ASSERT_EQ(f.Seek(KFILE_SEEK_END, 0), KFILE_OK);
    ASSERT_EQ(f.Tell(&size), KFILE_OK);
    ASSERT_EQ(f.Seek(KFILE_SEEK_SET, 0), KFILE_OK);
    std::vector<uint8_t> data(size);
    ASSERT_EQ(f.Read(data.data(), size), KFILE_OK);
    HostImage img;
    ASSERT_TRUE(HostDecodeImage(data.data(), data.size(), kImageBmp, 4096, &img));
    EXPECT_EQ(img.width, p.w);
    EXPECT_EQ(img.height, p.h);
  }
  ReleaseArchives();
}

TEST(GeneratedData, KindTableAndEveryStageAreInTarn) {
  REQUIRE_GENERATED();
  std::vector<uint8_t> prp;
  ASSERT_TRUE(ReadDisk(KSystem::MakeFilePath("tarn/world1.prp"), &prp));
  EXPECT_EQ(prp, EncodeKindTable(TileKindTable()));
  for (int n = 1; n <= 20; ++n) {
    const std::string name = "tarn/e1s" + std::to_string(n) + ".pak";
    SCOPED_TRACE(name);
    std::vector<uint8_t> pak;
    ASSERT_TRUE(ReadDisk(KSystem::MakeFilePath(name.c_str()), &pak));
    Stage s;
    ASSERT_TRUE(DecodePak(pak, &s));
    EXPECT_EQ(pak.size(), 8u + 4u * s.width * s.height);
    EXPECT_GE(s.width, kMinStageWidth);
    EXPECT_GE(s.height, kMinStageHeight);
  }
  // the game opens these for update: they must be writable
  FILE* f = std::fopen(KSystem::MakeFilePath("tarn/e1s1.pak"), "r+b");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
}

TEST(Tar, HeadersAreValidUstarAndLongNamesAreRefused) {
  const std::vector<uint8_t> tar = BuildTar({{"a.bmp", {1, 2, 3}}, {"b.bmp", {}}});
  // two headers, one data block, two end blocks
  ASSERT_EQ(tar.size(), 5u * 512);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&tar[0])), "a.bmp");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&tar[124]), 11), "00000000003");
  EXPECT_EQ(tar[156], '0');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&tar[257]), 5), "ustar");
  unsigned sum = 0;
  for (int i = 0; i < 512; ++i) sum += (i >= 148 && i < 156) ? ' ' : tar[i];
  EXPECT_EQ(static_cast<unsigned>(std::strtoul(reinterpret_cast<const char*>(&tar[148]), nullptr, 8)), sum);
  EXPECT_EQ(tar[512], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&tar[1024])), "b.bmp");
  for (size_t i = 3 * 512; i < tar.size(); ++i) ASSERT_EQ(tar[i], 0);
  EXPECT_TRUE(BuildTar({{std::string(100, 'x'), {}}}).empty());
}
