// The fixture of the seam's contract tests: every test runs in the world
// of the build (simulated or real) with an empty scratch folder and key.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "platform/Codes.h"
#include "platform/Platform.h"
#include "tests/contract/ContractWorld.h"

class Contract : public ::testing::Test {
 protected:
  void SetUp() override { TheContractWorld().SetUp(); }
  void TearDown() override { TheContractWorld().TearDown(); }

  // A path in the scratch folder.
  static std::string Scratch(const std::string& name) {
    return TheContractWorld().ScratchDir() + "\\" + name;
  }

  // Writes the bytes exactly (binary mode), failing the test if it cannot.
  static void WriteBytes(const std::string& path, const std::string& bytes) {
    platform::FileSystem& files = platform::files();
    platform::Stream* stream = files.Open(path.c_str(), "wb");
    ASSERT_NE(stream, nullptr) << path << ": errno " << files.Errno();
    EXPECT_EQ(files.Write(bytes.data(), 1, bytes.size(), stream), bytes.size());
    EXPECT_EQ(files.Close(stream), 0);
  }

  // The file's bytes as they are on disk (binary mode).
  static std::string ReadBytes(const std::string& path) {
    platform::FileSystem& files = platform::files();
    platform::Stream* stream = files.Open(path.c_str(), "rb");
    EXPECT_NE(stream, nullptr) << path << ": errno " << files.Errno();
    if (!stream) return "";
    std::string bytes;
    char buffer[256];
    size_t got;
    while ((got = files.Read(buffer, 1, sizeof(buffer), stream)) > 0)
      bytes.append(buffer, got);
    EXPECT_FALSE(files.Error(stream));
    files.Close(stream);
    return bytes;
  }
};
