#include "platform/ScopedFile.h"

bool ScopedFile::Open(const char* path, const char* mode) {
  Close();
  stream = platform::files().Open(path, mode);
  return stream != nullptr;
}

bool ScopedFile::Close() {
  if (stream == nullptr) return true;
  int result = platform::files().Close(stream);
  stream = nullptr;
  return result == 0;
}
