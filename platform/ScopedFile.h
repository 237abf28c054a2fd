// Owns one buffered stream and closes it when it goes out of scope.
#pragma once
#include "platform/Platform.h"

class ScopedFile {
 public:
  ScopedFile() : stream(nullptr) {}
  ~ScopedFile() { Close(); }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  // Closes any stream held first; false (errno set) when the open failed.
  // A nonzero `bufferSize` asks for a buffer of that size; when the runtime
  // cannot give one the stream keeps its own, which only costs speed.
  bool Open(const char* path, const char* mode, size_t bufferSize = 0);
  // True when the stream closed cleanly (or none was held): a buffered
  // write can fail only here.
  bool Close();
  bool IsOpen() const { return stream != nullptr; }
  bool Error() const { return stream && platform::files().Error(stream); }
  bool Eof() const { return stream && platform::files().Eof(stream); }
  platform::Stream* Get() const { return stream; }

 private:
  platform::Stream* stream;
};
