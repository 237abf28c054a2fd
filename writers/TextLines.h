// What the file writers share: judging text pieces as fgets reads them,
// and the temporary files that must outlive a failed replacement.
#pragma once
#include <stddef.h>

#include "platform/ScopedFile.h"

// A piece ends its line when fgets stopped at the line end.
bool EndsLine(const char* piece);
// The C runtime's toupper in the "C" locale: only a-z change.
char UpperChar(char c);
// isspace in the "C" locale.
bool IsWhiteSpace(char c);
// The first characters of `text` are `prefix`, ignoring case.
bool StartsWithNoCase(const char* text, const char* prefix);
// The `length` characters at `text` are `word`, ignoring case.
bool EqualsNoCase(const char* text, size_t length, const char* word);

// "<current directory>\<name>": where a temporary file named relative to
// the program's directory really lies. The bare name when the directory
// cannot be read.
void PathInCurrentDirectory(const char* name, char* buffer, size_t size);

// A temporary file that holds the only copy of a file whose original was
// already deleted when moving it into place failed. It is left for the
// user, so no later write of this run may truncate it.
void KeepTemporary(const char* name);
// The temporary file is kept and still there.
bool IsKeptTemporary(const char* name);
// The stream buffer of a file the writers rewrite. The runtime's own 4 KB
// makes a large start-up file cost a disk request per 4 KB each way; this
// many bytes per request is what a cluster-sized read wants, and the three
// streams of a rewrite stay under 100 KB together.
const size_t rewriteBufferSize = 32 * 1024;

// Opens a temporary file for writing unless it is kept and still there;
// false with errno set either way (EEXIST for a kept one). The stream has
// the rewriters' buffer.
bool OpenTemporary(ScopedFile* file, const char* name);

// Writes characters in runs, so an edited line costs one stream call per
// run rather than one per character.
class PieceWriter {
 public:
  explicit PieceWriter(platform::Stream* stream) : stream(stream), used(0) {}
  ~PieceWriter() { Flush(); }
  PieceWriter(const PieceWriter&) = delete;
  PieceWriter& operator=(const PieceWriter&) = delete;

  void Put(char c);
  void Put(const char* text);
  void Flush();

 private:
  platform::Stream* stream;
  char buffer[128];
  size_t used;
};
