#include "platform/ScopedFile.h"

bool ScopedFile::Open(const char* path, const char* mode, size_t bufferSize) {
  Close();
  platform::FileSystem& files = platform::files();
  stream = files.Open(path, mode);
  if (stream == nullptr) return false;
  if (bufferSize != 0) files.SetBuffer(stream, bufferSize);
  return true;
}

bool ScopedFile::Close() {
  if (stream == nullptr) return true;
  int result = platform::files().Close(stream);
  stream = nullptr;
  return result == 0;
}
