#include "drives/DriveMap.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// 26 entries with the given current letters and separator.
std::string Entries(const std::string& letters, const std::string& sep) {
  std::string out;
  for (char c : letters) out += std::string(1, c) + sep;
  return out;
}

class DriveMapTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
  std::string MapPath() {
    return machine().Property("Machine", "CurrentDirectory") +
           "\\drivemap.dat";
  }
  void ExpectBadFormat() {
    machine().User().Expect("Pelmora", "File drivemap.dat has bad format.",
                            MB_ICONERROR | MB_OK, IDOK);
  }
};

struct GoodFile {
  const char* name;
  std::string bytes;
};

TEST_F(DriveMapTest, ReadsEveryWellFormedFile) {
  const std::string swapped = "ABDCEFGHIJKLMNOPQRSTUVWXYZ";  // C and D swapped
  const GoodFile files[] = {
      {"LF and blanks", "KROMVALE drive map\n" + Entries(swapped, " ")},
      {"CR LF lines", "first line\r\n" + Entries(swapped, "\r\n")},
      {"commas", "x\n" + Entries(swapped, ",")},
      {"no separator after the last letter",
       "x\n" + Entries(swapped, " ").substr(0, 51)},
      {"trailing text ignored", "x\n" + Entries(swapped, " ") + "junk\nmore"},
      {"empty first line", "\n" + Entries(swapped, " ")},
  };
  for (const GoodFile& file : files) {
    SCOPED_TRACE(file.name);
    machine().WriteFile(MapPath(), file.bytes);
    DriveMap map;
    map.readDriveMap("drivemap.dat");
    ASSERT_EQ(map.valid, 1);
    EXPECT_EQ(map.currentLetterOf('C'), 'D');
    EXPECT_EQ(map.currentLetterOf('d'), 'C');
    EXPECT_EQ(map.originalLetterOf('D'), 'C');
    EXPECT_EQ(map.originalLetterOf('c'), 'D');
    EXPECT_EQ(map.currentLetterOf('Z'), 'Z');
  }
}

TEST_F(DriveMapTest, ReportsEveryMalformedFileAndAnswersNothing) {
  const GoodFile files[] = {
      {"three entries", "x\nA B C "},
      {"three entries without line end", "x\r\nA B C"},
      {"lower-case entry", "x\n" + Entries("ABcDEFGHIJKLMNOPQRSTUVWXYZ", " ")},
      {"only a first line", "only a first line\n"},
      {"no line end at all", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
      {"empty", ""},
      {"Ctrl-Z ends the text", "x\nA B C \x1a" + Entries(alphabet, " ")},
  };
  for (const GoodFile& file : files) {
    SCOPED_TRACE(file.name);
    machine().WriteFile(MapPath(), file.bytes);
    ExpectBadFormat();
    DriveMap map;
    map.readDriveMap("drivemap.dat");
    EXPECT_EQ(map.valid, 0);
    EXPECT_EQ(map.currentLetterOf('A'), 0);
    EXPECT_EQ(map.originalLetterOf('A'), 0);
    EXPECT_TRUE(machine().User().Done());
  }
  EXPECT_EQ(machine().OpenStreams(), 0);
}

TEST_F(DriveMapTest, MissingFileIsReportedWithTheRuntimeText) {
  machine().User().Expect(
      "Pelmora", "Error opening file drivemap.dat : No such file or directory",
      MB_ICONERROR | MB_OK, IDOK);
  DriveMap map;
  map.readDriveMap("drivemap.dat");
  EXPECT_EQ(map.valid, 0);
  EXPECT_EQ(map.currentLetterOf('C'), 0);
}

TEST_F(DriveMapTest, OpenFailureShowsItsOwnReason) {
  machine().WriteFile(MapPath(), "x\n" + Entries(alphabet, " "));
  machine().Faults().Fail("Open", 13, 1, "drivemap.dat");
  machine().User().Expect("Pelmora",
                          "Error opening file drivemap.dat : Permission denied",
                          MB_ICONERROR | MB_OK, IDOK);
  DriveMap map;
  map.readDriveMap("drivemap.dat");
  EXPECT_EQ(map.valid, 0);
}

TEST_F(DriveMapTest, SharedCurrentLetterMapsBackToTheLowerOriginal) {
  // E and G were both moved to F; nothing is called G now.
  machine().WriteFile(MapPath(),
                      "x\n" + Entries("ABCDFFFHIJKLMNOPQRSTUVWXYZ", " "));
  DriveMap map;
  map.readDriveMap("drivemap.dat");
  ASSERT_EQ(map.valid, 1);
  EXPECT_EQ(map.originalLetterOf('F'), 'E');
  EXPECT_EQ(map.originalLetterOf('G'), 0);
  EXPECT_EQ(map.originalLetterOf('E'), 0);
  EXPECT_EQ(map.currentLetterOf('G'), 'F');
}

TEST_F(DriveMapTest, LookupsOfNonLettersAnswerNothing) {
  machine().WriteFile(MapPath(), "x\n" + Entries(alphabet, " "));
  DriveMap map;
  map.readDriveMap("drivemap.dat");
  ASSERT_EQ(map.valid, 1);
  for (char c : {'@', '[', '`', '{', '1', '\0', '\xff'}) {
    EXPECT_EQ(map.currentLetterOf(c), 0) << int(c);
    EXPECT_EQ(map.originalLetterOf(c), 0) << int(c);
  }
}

TEST_F(DriveMapTest, FileTimeGivesEachKindAndZeroForAMissingFile) {
  const std::string path = MapPath();
  machine().WriteFile(path, "x\n");
  const FileTime created = sim::MakeFileTime(1998, 6, 25, 8, 0, 0);
  const FileTime accessed = sim::MakeFileTime(1999, 1, 2, 0, 0, 0);
  const FileTime written = sim::MakeFileTime(1998, 12, 31, 23, 59, 58);
  ASSERT_TRUE(platform::kernel().SetFileTime(path.c_str(), &created, &accessed,
                                             &written));
  EXPECT_EQ(DriveMap::fileTime(path.c_str(), DriveMap::creationTime), created);
  EXPECT_EQ(DriveMap::fileTime(path.c_str(), DriveMap::lastAccessTime),
            accessed);
  EXPECT_EQ(DriveMap::fileTime(path.c_str(), DriveMap::lastWriteTime), written);
  EXPECT_EQ(DriveMap::fileTime("C:\\no such file.dat", DriveMap::lastWriteTime),
            0u);
}

}  // namespace
