// The C runtime's streams: text mode's CR LF and Ctrl-Z, line reading in
// pieces, binary reads, positions, error and end-of-file state, errno.
#include <cstring>
#include <string>
#include <vector>

#include "tests/contract/ContractTest.h"

namespace {

using FilesContract = Contract;

// Reads a text stream line by line with a buffer of the given size.
std::vector<std::string> ReadPieces(const std::string& path, int size) {
  platform::FileSystem& files = platform::files();
  std::vector<std::string> pieces;
  platform::Stream* stream = files.Open(path.c_str(), "rt");
  EXPECT_NE(stream, nullptr);
  if (!stream) return pieces;
  std::vector<char> buffer(size);
  while (files.Gets(buffer.data(), size, stream))
    pieces.push_back(buffer.data());
  EXPECT_TRUE(files.Eof(stream));
  EXPECT_FALSE(files.Error(stream));
  EXPECT_EQ(files.Close(stream), 0);
  return pieces;
}

TEST_F(FilesContract, TextWritesPutCrLfOnDiskWithOrWithoutT) {
  platform::FileSystem& files = platform::files();
  for (const char* mode : {"wt", "w"}) {
    SCOPED_TRACE(mode);
    std::string path = Scratch("text.ini");
    platform::Stream* stream = files.Open(path.c_str(), mode);
    ASSERT_NE(stream, nullptr);
    EXPECT_GE(files.Puts("[Letters]\nD=E\n", stream), 0);
    EXPECT_EQ(files.Putc('\n', stream), '\n');
    EXPECT_EQ(files.Close(stream), 0);
    EXPECT_EQ(ReadBytes(path), "[Letters]\r\nD=E\r\n\r\n");
  }
}

TEST_F(FilesContract, TextReadsTurnCrLfIntoNewlines) {
  WriteBytes(Scratch("in.ini"), "one\r\ntwo\r\nlast");
  EXPECT_EQ(ReadPieces(Scratch("in.ini"), 64),
            (std::vector<std::string>{"one\n", "two\n", "last"}));
}

TEST_F(FilesContract, LongLinesComeInPiecesThatFillTheBuffer) {
  WriteBytes(Scratch("long.txt"), "abcdefghijklmnop\r\nq\r\n");
  // Each piece holds at most size - 1 characters and the terminator.
  EXPECT_EQ(ReadPieces(Scratch("long.txt"), 7),
            (std::vector<std::string>{"abcdef", "ghijkl", "mnop\n", "q\n"}));
}

TEST_F(FilesContract, CtrlZEndsATextReadButNotABinaryOne) {
  WriteBytes(Scratch("eof.txt"),
             "ab\r\ncd\x1A"
             "ef\r\n");
  EXPECT_EQ(ReadPieces(Scratch("eof.txt"), 64),
            (std::vector<std::string>{"ab\n", "cd"}));
  EXPECT_EQ(ReadBytes(Scratch("eof.txt")),
            "ab\r\ncd\x1A"
            "ef\r\n");

  platform::FileSystem& files = platform::files();
  platform::Stream* stream = files.Open(Scratch("eof.txt").c_str(), "rt");
  ASSERT_NE(stream, nullptr);
  std::string text;
  int c;
  while ((c = files.Getc(stream)) != -1) text += char(c);
  EXPECT_EQ(text, "ab\ncd");
  EXPECT_TRUE(files.Eof(stream));
  files.Close(stream);
}

TEST_F(FilesContract, BinaryStreamsReadWriteSeekAndTellExactBytes) {
  platform::FileSystem& files = platform::files();
  std::string path = Scratch("data.bin");
  platform::Stream* stream = files.Open(path.c_str(), "w+b");
  ASSERT_NE(stream, nullptr);
  const char bytes[] = "\x00\x01\r\n\x1A\xFF";
  EXPECT_EQ(files.Write(bytes, 1, 6, stream), 6u);
  EXPECT_EQ(files.Flush(stream), 0);
  EXPECT_EQ(files.Tell(stream), 6);
  EXPECT_EQ(files.Seek(stream, 2, 0), 0);  // SEEK_SET
  EXPECT_EQ(files.Tell(stream), 2);
  char back[8] = {0};
  EXPECT_EQ(files.Read(back, 1, 8, stream), 4u);
  EXPECT_EQ(std::string(back, 4), std::string("\r\n\x1A\xFF", 4));
  EXPECT_TRUE(files.Eof(stream));
  EXPECT_EQ(files.Seek(stream, -1, 2), 0);  // SEEK_END clears end-of-file
  EXPECT_FALSE(files.Eof(stream));
  EXPECT_EQ(files.Getc(stream), 0xFF);
  EXPECT_EQ(files.Close(stream), 0);
}

TEST_F(FilesContract, WritingAReadOnlyStreamFailsAndSetsTheErrorState) {
  WriteBytes(Scratch("in.txt"), "x");
  platform::FileSystem& files = platform::files();
  platform::Stream* stream = files.Open(Scratch("in.txt").c_str(), "rt");
  ASSERT_NE(stream, nullptr);
  EXPECT_FALSE(files.Error(stream));
  EXPECT_EQ(files.Putc('y', stream), -1);
  EXPECT_TRUE(files.Error(stream));
  files.Close(stream);
  EXPECT_EQ(ReadBytes(Scratch("in.txt")), "x");
}

TEST_F(FilesContract, ReadingAWriteOnlyStreamGivesEndOfFile) {
  platform::FileSystem& files = platform::files();
  platform::Stream* stream = files.Open(Scratch("out.txt").c_str(), "wt");
  ASSERT_NE(stream, nullptr);
  // msvcrt also sets the error state here; Wine's does not.
  EXPECT_EQ(files.Getc(stream), -1);
  files.Close(stream);
}

TEST_F(FilesContract, OpeningWhatIsNotThereFailsWithEnoent) {
  platform::FileSystem& files = platform::files();
  struct Case {
    const char* name;
    const char* mode;
  };
  for (const Case& c : {Case{"missing.ini", "rt"}, Case{"missing.ini", "rb"},
                        Case{"no-folder\\new.ini", "wt"}}) {
    SCOPED_TRACE(c.name);
    files.SetErrno(0);
    EXPECT_EQ(files.Open(Scratch(c.name).c_str(), c.mode), nullptr);
    EXPECT_EQ(files.Errno(), 2);  // ENOENT
  }
  const char* text = files.StrError(2);
  ASSERT_NE(text, nullptr);
  EXPECT_GT(strlen(text), 0u);
}

}  // namespace
