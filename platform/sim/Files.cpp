// msvcrt's buffered streams over host files: text-mode translation as
// msvcrt does it, its errno values and texts. Each stream holds one small
// buffer, so reading or writing a file of any size takes constant memory.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"

namespace platform {

// What waits to be written: a run of bytes that keeps its storage when
// emptied, appended to without the bookkeeping of a string.
class WriteBuffer {
 public:
  size_t size() const { return used; }
  bool empty() const { return used == 0; }
  void clear() { used = 0; }
  const char* data() const { return bytes.data(); }
  size_t capacity() const { return bytes.size(); }
  void reserve(size_t size) {
    if (bytes.size() < size) bytes.resize(size);
  }
  void append(const char* text, size_t length) {
    reserve(used + length);
    memcpy(bytes.data() + used, text, length);
    used += length;
  }
  WriteBuffer& operator+=(char c) {
    append(&c, 1);
    return *this;
  }

 private:
  std::vector<char> bytes;
  size_t used = 0;
};

struct Stream {
  int fd = -1;
  sim::WinPath path;
  std::string host;
  std::string name;  // the path as opened, for the call log
  bool canRead = false, canWrite = false, append = false, text = true;
  bool eof = false, error = false;
  bool wrote = false;
  enum Mode { kIdle, kReading, kWriting } mode = kIdle;
  // msvcrt's own buffer size; setvbuf may give a stream another.
  static const size_t kBuffer = 4096;
  // Allocated at the first read or write, as msvcrt does: one of the two.
  size_t bufferSize = kBuffer;
  std::vector<unsigned char> readBuffer;
  size_t readPos = 0, readLength = 0;
  WriteBuffer writeBuffer;
  uint64_t grown = 0;  // bytes the file grew by through this stream
};

}  // namespace platform

namespace sim {

using platform::Stream;

namespace {
// msvcrt's limit of streams (_NSTREAM_ less the three standard ones).
const size_t kMaxStreams = 509;
const int kEof = -1;
}  // namespace

SimFiles::~SimFiles() {
  for (Stream* stream : open) {
    if (stream->fd >= 0) ::close(stream->fd);
    delete stream;
  }
}

bool SimFiles::Known(Stream* stream, const char* call) {
  if (std::find(open.begin(), open.end(), stream) != open.end()) return true;
  m.Fail(std::string(call) + " on a stream that is not open");
  return false;
}

// Logs the call; true when it may go on (faultCode then 0).
bool SimFiles::Enter(const char* call, Stream* stream) {
  faultCode = 0;
  if (!Known(stream, call)) return false;
  uint32_t code;
  if (m.Enter(call, stream->name, &code)) {
    faultCode = code;
    m.errnoValue = int(code);
    stream->error = true;
    return false;
  }
  return true;
}

Stream* SimFiles::Open(const char* path, const char* mode) {
  uint32_t code;
  std::string argument =
      std::string(path ? path : "(null)") + " " + (mode ? mode : "(null)");
  if (m.Enter("Open", argument, &code)) {
    m.errnoValue = int(code);
    return nullptr;
  }
  auto fail = [this](int value) -> Stream* {
    m.errnoValue = value;
    return nullptr;
  };
  if (!path || !mode) return fail(EINVAL);
  char kind = mode[0];
  if (kind != 'r' && kind != 'w' && kind != 'a') return fail(EINVAL);
  bool plus = false, text = true;
  for (const char* c = mode + 1; *c; ++c) {
    if (*c == '+' && !plus)
      plus = true;
    else if (*c == 't')
      text = true;
    else if (*c == 'b')
      text = false;
    else
      return fail(EINVAL);
  }
  if (open.size() >= kMaxStreams) return fail(EMFILE);
  if (!*path) return fail(ENOENT);
  WinPath where;
  if (!ParseWinPath(path, m.currentDir, &where, &code))
    return fail(code == ERROR_INVALID_NAME ? EINVAL : ENOENT);
  Drive* drive = m.FindDrive(where.drive);
  if (!drive || drive->type == DRIVE_NO_ROOT_DIR ||
      drive->type == DRIVE_UNKNOWN)
    return fail(ENOENT);
  // msvcrt turns every sharing, lock and media error into EACCES.
  if (!drive->ready) return fail(EACCES);
  bool exists, parentExists;
  std::string host = ResolveHost(m.root, where, &exists, &parentExists);
  struct stat info;
  bool folder =
      exists && stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  if (where.IsRoot() || folder) return fail(EACCES);
  if (kind == 'r' && !exists) return fail(ENOENT);
  if (!exists && !parentExists) return fail(ENOENT);
  bool writing = kind != 'r' || plus;
  if (writing) {
    if (drive->readOnly) return fail(EACCES);
    if (exists && (m.Meta(where, host).attributes & FILE_ATTRIBUTE_READONLY))
      return fail(EACCES);
  }
  int flags = plus ? O_RDWR : kind == 'r' ? O_RDONLY : O_WRONLY;
  if (kind != 'r') flags |= O_CREAT;
  if (kind == 'w') flags |= O_TRUNC;
  int fd = ::open(host.c_str(), flags, 0666);
  if (fd < 0) return fail(errno == ENOENT ? ENOENT : EACCES);
  Stream* stream = new Stream;
  stream->fd = fd;
  stream->path = where;
  stream->host = host;
  stream->name = path;
  stream->canRead = kind == 'r' || plus;
  stream->canWrite = writing;
  stream->append = kind == 'a';
  stream->text = text;
  open.push_back(stream);
  ++m.openFiles[where.Key()];
  if (!exists || kind == 'w') m.Touch(where, host, !exists);
  return stream;
}

bool SimFiles::FlushWrites(Stream* s) {
  if (s->writeBuffer.empty()) return true;
  struct stat info;
  fstat(s->fd, &info);
  uint64_t size = uint64_t(info.st_size);
  uint64_t position = s->append ? size : uint64_t(lseek(s->fd, 0, SEEK_CUR));
  uint64_t end = position + s->writeBuffer.size();
  uint64_t growth = end > size ? end - size : 0;
  Drive* drive = m.FindDrive(s->path.drive);
  if (growth && s->grown + growth > drive->FreeBytes()) {
    // The buffered data is lost, as on a full disk.
    s->writeBuffer.clear();
    s->error = true;
    m.errnoValue = ENOSPC;
    return false;
  }
  if (s->append) lseek(s->fd, 0, SEEK_END);
  size_t done = 0;
  while (done < s->writeBuffer.size()) {
    ssize_t n = ::write(s->fd, s->writeBuffer.data() + done,
                        s->writeBuffer.size() - done);
    if (n <= 0) {
      s->writeBuffer.clear();
      s->error = true;
      m.errnoValue = ENOSPC;
      return false;
    }
    done += size_t(n);
  }
  s->grown += growth;
  s->wrote = true;
  s->writeBuffer.clear();
  return true;
}

bool SimFiles::StartWriting(Stream* s) {
  if (!s->canWrite) {
    s->error = true;
    m.errnoValue = EBADF;
    return false;
  }
  if (s->mode == Stream::kReading) {
    // Give back what was read ahead, so writing starts where reading was.
    lseek(s->fd, -off_t(s->readLength - s->readPos), SEEK_CUR);
    s->readPos = s->readLength = 0;
  }
  // A CR LF may take the buffer one past its size before it spills.
  if (s->writeBuffer.capacity() < s->bufferSize + 1)
    s->writeBuffer.reserve(s->bufferSize + 1);
  s->mode = Stream::kWriting;
  return true;
}

bool SimFiles::StartReading(Stream* s) {
  if (!s->canRead) {
    s->error = true;
    m.errnoValue = EBADF;
    return false;
  }
  if (s->mode == Stream::kWriting && !FlushWrites(s)) return false;
  if (s->readBuffer.size() != s->bufferSize)
    s->readBuffer.resize(s->bufferSize);
  s->mode = Stream::kReading;
  return true;
}

bool SimFiles::PutChar(Stream* s, unsigned char c) {
  if (s->text && c == '\n') s->writeBuffer += '\r';
  s->writeBuffer += char(c);
  if (s->writeBuffer.size() >= s->bufferSize) return FlushWrites(s);
  return true;
}

namespace {
bool Fill(Stream* s, bool* failed) {
  ssize_t n = ::read(s->fd, s->readBuffer.data(), s->bufferSize);
  if (n < 0) *failed = true;
  s->readPos = 0;
  s->readLength = n > 0 ? size_t(n) : 0;
  return n > 0;
}
}  // namespace

int SimFiles::ReadChar(Stream* s) {
  bool failed = false;
  if (s->readPos == s->readLength && !Fill(s, &failed)) {
    if (failed) {
      s->error = true;
      m.errnoValue = EIO;
    } else {
      s->eof = true;
    }
    return kEof;
  }
  unsigned char c = s->readBuffer[s->readPos++];
  if (!s->text) return c;
  if (c == 0x1A) {
    // Ctrl-Z ends a text file; it stays unread.
    --s->readPos;
    s->eof = true;
    return kEof;
  }
  if (c == '\r') {
    if (s->readPos == s->readLength) {
      // Read on past the CR, keeping it in the buffer.
      lseek(s->fd, -1, SEEK_CUR);
      if (!Fill(s, &failed)) {
        lseek(s->fd, 1, SEEK_CUR);
        return '\r';
      }
      s->readPos = 1;
      if (s->readLength == 1) return '\r';  // the CR ends the file
    }
    if (s->readBuffer[s->readPos] == '\n') {
      ++s->readPos;
      return '\n';
    }
  }
  return c;
}

int SimFiles::Close(Stream* stream) {
  if (!Known(stream, "Close")) return kEof;
  uint32_t code;
  bool fault = m.Enter("Close", stream->name, &code);
  open.erase(std::find(open.begin(), open.end(), stream));
  std::string key = stream->path.Key();
  if (--m.openFiles[key] == 0) m.openFiles.erase(key);
  bool ok;
  if (fault) {
    stream->writeBuffer.clear();
    m.errnoValue = int(code);
    ok = false;
  } else {
    ok = FlushWrites(stream);
  }
  if (stream->wrote) m.Touch(stream->path, stream->host, false);
  ::close(stream->fd);
  delete stream;
  return ok ? 0 : kEof;
}

namespace {
// How many of the `limit` bytes at `p` come before a line feed (and, in
// text mode, a CR or Ctrl-Z): the run Gets copies at once.
size_t Ordinary(const unsigned char* p, size_t limit, bool text) {
  const void* stop = memchr(p, '\n', limit);
  size_t n = stop ? size_t(static_cast<const unsigned char*>(stop) - p) : limit;
  if (!text) return n;
  for (unsigned char c : {(unsigned char)'\r', (unsigned char)0x1A}) {
    stop = memchr(p, c, n);
    if (stop) n = size_t(static_cast<const unsigned char*>(stop) - p);
  }
  return n;
}
}  // namespace

char* SimFiles::Gets(char* buffer, int size, Stream* stream) {
  if (!Enter("Gets", stream)) return nullptr;
  if (!buffer || size <= 0) {
    m.errnoValue = EINVAL;
    return nullptr;
  }
  if (!StartReading(stream)) return nullptr;
  int length = 0;
  while (length < size - 1) {
    // Ordinary bytes straight from the buffer; line ends, CR, Ctrl-Z and
    // refills go through ReadChar one at a time.
    if (stream->readPos < stream->readLength) {
      const unsigned char* p = stream->readBuffer.data() + stream->readPos;
      const size_t limit = std::min(stream->readLength - stream->readPos,
                                    size_t(size - 1 - length));
      size_t n = Ordinary(p, limit, stream->text);
      // A CR LF within the buffer ends the line here; one at the buffer's
      // end goes through ReadChar.
      const bool crLf = stream->text && n < limit && p[n] == '\r' &&
                        stream->readPos + n + 1 < stream->readLength &&
                        p[n + 1] == '\n';
      if (crLf) {
        memcpy(buffer + length, p, n);
        length += int(n);
        buffer[length++] = '\n';
        stream->readPos += n + 2;
        break;
      }
      if (n > 0) {
        memcpy(buffer + length, p, n);
        length += int(n);
        stream->readPos += n;
        continue;
      }
    }
    int c = ReadChar(stream);
    if (c == kEof) break;
    buffer[length++] = char(c);
    if (c == '\n') break;
  }
  if (length == 0 && size > 1) return nullptr;
  buffer[length] = '\0';
  return stream->error ? nullptr : buffer;
}

int SimFiles::Getc(Stream* stream) {
  if (!Enter("Getc", stream)) return kEof;
  if (!StartReading(stream)) return kEof;
  return ReadChar(stream);
}

int SimFiles::Puts(const char* text, Stream* stream) {
  if (!Enter("Puts", stream)) return kEof;
  if (!StartWriting(stream)) return kEof;
  for (const char* c = text; *c;) {
    // Runs without a line feed go in whole, never past the buffer's end,
    // so the buffer is written at the same bytes as one at a time.
    const size_t full = stream->bufferSize, held = stream->writeBuffer.size();
    const size_t room = held < full ? full - held : 0;
    const char* feed = strchr(c, '\n');
    const size_t n = std::min(feed ? size_t(feed - c) : strlen(c), room);
    if (n == 0 && *c == '\n' && stream->text && held + 2 <= full) {
      // The common line end, as PutChar writes it, without a spill.
      stream->writeBuffer.append("\r\n", 2);
      ++c;
      if (stream->writeBuffer.size() >= stream->bufferSize &&
          !FlushWrites(stream))
        return kEof;
      continue;
    }
    if (n == 0) {
      if (!PutChar(stream, (unsigned char)*c)) return kEof;
      ++c;
      continue;
    }
    stream->writeBuffer.append(c, n);
    c += n;
    if (stream->writeBuffer.size() >= stream->bufferSize &&
        !FlushWrites(stream))
      return kEof;
  }
  return 0;
}

int SimFiles::Putc(int c, Stream* stream) {
  if (!Enter("Putc", stream)) return kEof;
  if (!StartWriting(stream)) return kEof;
  if (!PutChar(stream, (unsigned char)c)) return kEof;
  return c & 0xFF;
}

size_t SimFiles::Read(void* buffer, size_t size, size_t count, Stream* stream) {
  if (!Enter("Read", stream)) return 0;
  size_t total = size * count;
  if (total == 0 || !StartReading(stream)) return 0;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  size_t got = 0;
  while (got < total) {
    int c = ReadChar(stream);
    if (c == kEof) break;
    out[got++] = (unsigned char)c;
  }
  return got / size;
}

size_t SimFiles::Write(const void* buffer, size_t size, size_t count,
                       Stream* stream) {
  if (!Enter("Write", stream)) return 0;
  size_t total = size * count;
  if (total == 0 || !StartWriting(stream)) return 0;
  const unsigned char* in = static_cast<const unsigned char*>(buffer);
  for (size_t i = 0; i < total; ++i)
    if (!PutChar(stream, in[i])) return i / size;
  return count;
}

namespace {
// The stream's position as the caller sees it: the file's, less what was
// read ahead, plus what waits to be written.
long Position(Stream* stream) {
  long position = long(lseek(stream->fd, 0, SEEK_CUR));
  if (stream->mode == Stream::kReading)
    position -= long(stream->readLength - stream->readPos);
  if (stream->mode == Stream::kWriting) {
    if (stream->append) {
      struct stat info;
      fstat(stream->fd, &info);
      position = long(info.st_size);
    }
    position += long(stream->writeBuffer.size());
  }
  return position;
}
}  // namespace

long SimFiles::Tell(Stream* stream) {
  if (!Enter("Tell", stream)) return -1;
  return Position(stream);
}

int SimFiles::Seek(Stream* stream, long offset, int origin) {
  if (!Enter("Seek", stream)) return -1;
  if (origin < SEEK_SET || origin > SEEK_END) {
    m.errnoValue = EINVAL;
    return -1;
  }
  long position = Position(stream);
  if (stream->mode == Stream::kWriting && !FlushWrites(stream)) return -1;
  struct stat info;
  fstat(stream->fd, &info);
  long base = origin == SEEK_SET   ? 0
              : origin == SEEK_CUR ? position
                                   : long(info.st_size);
  if (base + offset < 0) {
    m.errnoValue = EINVAL;
    return -1;
  }
  lseek(stream->fd, base + offset, SEEK_SET);
  stream->readPos = stream->readLength = 0;
  stream->eof = false;
  stream->mode = Stream::kIdle;
  return 0;
}

int SimFiles::Flush(Stream* stream) {
  if (!Enter("Flush", stream)) return kEof;
  if (stream->mode == Stream::kWriting) return FlushWrites(stream) ? 0 : kEof;
  return 0;
}

int SimFiles::SetBuffer(Stream* stream, size_t size) {
  if (!Enter("SetBuffer", stream)) return -1;
  // The runtime would lose what is buffered: a caller's mistake.
  if (stream->mode != Stream::kIdle || stream->readLength != 0 ||
      stream->wrote) {
    m.Fail("SetBuffer on a stream already read or written");
    return -1;
  }
  // msvcrt takes 2 to INT_MAX bytes and rounds an odd size down.
  if (size < 2 || size > size_t(INT32_MAX)) {
    m.errnoValue = EINVAL;
    return -1;
  }
  stream->bufferSize = size & ~size_t(1);
  return 0;
}

bool SimFiles::Error(Stream* stream) {
  if (!Known(stream, "Error")) return true;
  uint32_t code;
  m.Enter("Error", stream->name, &code);
  return stream->error;
}

bool SimFiles::Eof(Stream* stream) {
  if (!Known(stream, "Eof")) return true;
  uint32_t code;
  m.Enter("Eof", stream->name, &code);
  return stream->eof;
}

int SimFiles::Errno() {
  uint32_t code;
  m.Enter("Errno", "", &code);
  return m.errnoValue;
}

void SimFiles::SetErrno(int value) {
  uint32_t code;
  m.Enter("SetErrno", std::to_string(value), &code);
  m.errnoValue = value;
}

const char* SimFiles::StrError(int value) {
  uint32_t code;
  m.Enter("StrError", std::to_string(value), &code);
  if (value < 0 || value >= kCrtErrorCount) return "Unknown error";
  return kCrtErrors[value];
}

}  // namespace sim
