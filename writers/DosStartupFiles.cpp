#include "writers/DosStartupFiles.h"

#include <string.h>

#include "framework/AppWindow.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "platform/ScopedFile.h"
#include "shell/ErrorReport.h"
#include "writers/TextLines.h"

namespace {

const char temporaryName[] = "temp.tmp";
// Files are read in pieces of at most 255 characters.
const int pieceSize = 256;
const int pathSize = 260;

const char severalCdRomsWarning[] =
    "You have more than one CD-ROM drive visible in MS-DOS mode. It can "
    "interfere with Pelmora activity and cause wrong letter assignments. The "
    "program will temporary disable all MS-DOS\xAE"
    " CD-ROM drives ( in Windows\xAE"
    " they will be visible ). If you need MS-DOS CD-ROM, please, edit "
    "manually CONFIG.SYS and AUTOEXEC.BAT files and enable only one CD-ROM "
    "letter. In MSCDEX command line use the option:\n/L:x\nwhere x is the "
    "same letter that is assigned to that CD-ROM in Windows\xAE.";

// The run-time library's "no such file" and "no such path".
bool IsMissing(int error) { return error == 2 || error == 3; }

bool IsDosCdRom(const DriveRecord& record) {
  return record.present && record.driveType == DRIVE_CDROM &&
         !record.protectedModeOnly;
}

// The start-up file on the drive MS-DOS booted from.
void StartupPath(const DriveTable& table, const char* name, char* path) {
  char boot = table.currentLetterOf('C');
  if (boot == 0) boot = 'C';
  platform::Format(path, pathSize, "%c:\\%s", boot, name);
}

// Deletes the temporary file unless it is the only copy of a replaced
// file's new content.
void DeleteTemporary() {
  if (!IsKeptTemporary(temporaryName))
    platform::kernel().DeleteFileA(temporaryName);
}

// Replaces `path` by the temporary file. When the original is gone but the
// move failed, the temporary file is the only copy of the new content: it
// stays, and the message names it where it lies.
bool ReplaceWithTemporary(const char* path) {
  platform::Kernel& kernel = platform::kernel();
  if (!kernel.DeleteFileA(path)) {
    ReportLastError("Error renaming %s to %s", temporaryName, path);
    return false;
  }
  if (!kernel.MoveFileA(temporaryName, path)) {
    const uint32_t error = kernel.GetLastError();
    KeepTemporary(temporaryName);
    char kept[pathSize];
    PathInCurrentDirectory(temporaryName, kept, sizeof kept);
    ReportSystemError(error, "Error renaming %s to %s", kept, path);
    return false;
  }
  return true;
}

// One line of a start-up file as the MSCDEX edit needs to know it before
// writing it: whether it names MSCDEX, whether it is a remark, and which of
// its words is the /L: option. Fed in pieces, so a line of any length is
// judged whole.
class MscdexLineScan {
 public:
  void Feed(const char* piece) {
    for (; *piece != '\0'; ++piece) Take(UpperChar(*piece));
  }
  // Ends the last word of a line that has no line end.
  void Finish() { EndWord(); }

  bool Active() const { return matched == wordLength && !Remark(); }
  bool NamesMscdex() const { return matched == wordLength; }
  // The index of the first word of exactly four characters that begins
  // with /L:, or -1.
  int OptionWord() const { return optionWord; }

 private:
  static const int wordLength = 6;  // "MSCDEX"
  static const int keptLength = 4;  // enough for "@REM"

  void Take(char c) {
    if (matched < wordLength) {
      // No proper prefix of "MSCDEX" is also its suffix, so a mismatch can
      // only restart the match.
      if (c == "MSCDEX"[matched])
        ++matched;
      else
        matched = c == 'M' ? 1 : 0;
    }
    if (IsWhiteSpace(c)) {
      EndWord();
      return;
    }
    if (!inWord) {
      inWord = true;
      length = 0;
    }
    if (length < keptLength) word[length] = c;
    ++length;
  }

  void EndWord() {
    if (!inWord) return;
    inWord = false;
    if (optionWord < 0 && length == 4 && word[0] == '/' && word[1] == 'L' &&
        word[2] == ':')
      optionWord = words;
    if (words < 2) {
      size_t kept = length < keptLength ? length : keptLength;
      memcpy(first[words], word, kept);
      firstLength[words] = length;
    }
    ++words;
  }

  // Word `index` (0 or 1) is `text`, which has at most four characters.
  bool Is(int index, const char* text) const {
    return words > index &&
           EqualsNoCase(first[index], firstLength[index], text);
  }

  bool Remark() const {
    return Is(0, "REM") || Is(0, "@REM") || (Is(0, "@") && Is(1, "REM"));
  }

  int matched = 0;
  bool inWord = false;
  size_t length = 0;
  char word[keptLength] = {};
  int words = 0;
  char first[2][keptLength] = {};
  size_t firstLength[2] = {};
  int optionWord = -1;
};

// Writes an active MSCDEX line with the option /L:<letter>: upper case,
// every word followed by one blank, then the line end.
class MscdexLineEdit {
 public:
  MscdexLineEdit(platform::Stream* out, int optionWord, char letter)
      : writer(out), optionWord(optionWord) {
    option[0] = '/';
    option[1] = 'L';
    option[2] = ':';
    option[3] = letter;
    option[4] = '\0';
  }

  void Feed(const char* piece) {
    for (; *piece != '\0'; ++piece) Take(UpperChar(*piece));
  }

  void Finish() {
    EndWord();
    if (optionWord < 0) {
      writer.Put(option);
      writer.Put(' ');
    }
    writer.Put('\n');
    writer.Flush();
  }

 private:
  void Take(char c) {
    if (IsWhiteSpace(c)) {
      EndWord();
      return;
    }
    if (!inWord) {
      inWord = true;
      ++word;
    }
    if (word != optionWord) writer.Put(c);
  }

  void EndWord() {
    if (!inWord) return;
    inWord = false;
    if (word == optionWord) writer.Put(option);
    writer.Put(' ');
  }

  PieceWriter writer;
  int optionWord;
  char option[5];
  bool inWord = false;
  int word = -1;
};

enum FileOutcome { fileAbsent, fileDone, fileFailed };

// What an MSCDEX line commented out for several CD-ROMs starts with.
const char ourRemark[] = "REM by Pelmora - ";

// "MSCDEX" appears in the `length` characters at `text`, ignoring case:
// the lines without it are passed on unjudged.
bool ContainsMscdex(const char* text, size_t length) {
  const char firsts[] = {'M', 'm'};
  for (const char first : firsts) {
    const char* end = text + length;
    for (const char* p = text;
         (p = static_cast<const char*>(memchr(p, first, end - p))) != nullptr;
         ++p) {
      if (StartsWithNoCase(p, "MSCDEX")) return true;
    }
  }
  return false;
}

// Opens a start-up file and the temporary file for its edit: fileDone when
// both are open.
FileOutcome OpenEdit(const char* path, ScopedFile* in, ScopedFile* out) {
  if (!in->Open(path, "rt", rewriteBufferSize)) {
    if (IsMissing(platform::files().Errno())) return fileAbsent;
    ReportCrtError("Error opening the file %s", path);
    return fileFailed;
  }
  if (!OpenTemporary(out, temporaryName)) {
    ReportCrtError("Error opening temporary file %s", temporaryName);
    return fileFailed;
  }
  return fileDone;
}

// Notes what a judged line means for the file and the save; true when it
// is an active MSCDEX line.
bool NoteLine(const MscdexLineScan& scan, bool ours, bool several,
              bool* changed, bool* found) {
  const bool active = scan.Active();
  if (active) {
    *changed = true;
    *found = true;
  }
  // A line an earlier save commented out for several CD-ROMs is what this
  // save would make of it: found, so that the save does not fail on its
  // own earlier work.
  if (several && !active && ours && scan.NamesMscdex()) *found = true;
  return active;
}

// Ends an edit that read its file whole: the temporary file is closed and
// replaces the file when a line changed.
FileOutcome FinishEdit(const char* path, ScopedFile* out, bool changed) {
  // The last buffer reaches the disk only at the close.
  const bool written = !out->Error() && out->Close();
  if (!written) {
    ReportError("Error writing the file %s", temporaryName);
    return fileFailed;
  }
  if (changed && !ReplaceWithTemporary(path)) return fileFailed;
  return fileDone;
}

// A line this long or longer is not held in memory (see EditMscdexFile).
// Far longer than any line MS-DOS takes from a start-up file.
const int heldLineSize = 1024;

// EditMscdexFile for a file with a line too long to hold. Two readers go
// over the file with pieces of one size, so they agree on every line end:
// `ahead` reads a line to its end to judge it, `in` then copies or edits
// that same line.
FileOutcome EditMscdexFileTwice(const char* path, bool several, char letter,
                                bool* found) {
  platform::FileSystem& files = platform::files();
  ScopedFile in, ahead, out;
  const FileOutcome opened = OpenEdit(path, &in, &out);
  if (opened != fileDone) return opened;
  if (!ahead.Open(path, "rt")) {
    ReportCrtError("Error opening the file %s", path);
    return fileFailed;
  }

  bool changed = false;
  char piece[pieceSize];
  for (;;) {
    MscdexLineScan scan;
    bool any = false, ours = false;
    while (files.Gets(piece, sizeof piece, ahead.Get()) != nullptr) {
      if (!any) ours = strncmp(piece, ourRemark, sizeof ourRemark - 1) == 0;
      any = true;
      scan.Feed(piece);
      if (EndsLine(piece)) break;
    }
    if (!any) break;
    scan.Finish();

    const bool active = NoteLine(scan, ours, several, &changed, found);
    MscdexLineEdit edit(out.Get(), scan.OptionWord(), letter);
    if (active && several) files.Puts(ourRemark, out.Get());
    bool read = false;
    while (files.Gets(piece, sizeof piece, in.Get()) != nullptr) {
      read = true;
      if (active && !several)
        edit.Feed(piece);
      else
        files.Puts(piece, out.Get());
      if (EndsLine(piece)) break;
    }
    // The second reader fell short of the first: a read failure.
    if (!read) break;
    if (active && !several) edit.Finish();
  }

  if (in.Error() || ahead.Error()) {
    ReportError("Error reading the file %s", path);
    return fileFailed;
  }
  in.Close();
  ahead.Close();
  return FinishEdit(path, &out, changed);
}

// One start-up file: every active MSCDEX line edited (or commented out
// when `several`), the file replaced only when a line changed. A line is
// judged whole before it is written, so it is held in memory; a file with
// a line too long to hold is done again by EditMscdexFileTwice, which
// reads it twice over. Ordinary files are read once.
FileOutcome EditMscdexFile(const char* path, bool several, char letter,
                           bool* found) {
  platform::FileSystem& files = platform::files();
  ScopedFile in, out;
  const FileOutcome opened = OpenEdit(path, &in, &out);
  if (opened != fileDone) return opened;

  bool changed = false;
  char line[heldLineSize];
  for (;;) {
    // fgets stops at a line end; a NUL byte hides the rest of a piece, as
    // it does when the pieces are written.
    bool any = false, ours = false, ended = false;
    size_t held = 0;
    while (!ended && held < sizeof line - 1 &&
           files.Gets(line + held, static_cast<int>(sizeof line - held),
                      in.Get()) != nullptr) {
      if (!any) ours = strncmp(line, ourRemark, sizeof ourRemark - 1) == 0;
      any = true;
      held += strlen(line + held);
      ended = held > 0 && line[held - 1] == '\n';
    }
    if (!any) break;
    if (!ended && held == sizeof line - 1 && !in.Eof() && !in.Error()) {
      in.Close();
      out.Close();
      return EditMscdexFileTwice(path, several, letter, found);
    }
    if (!ContainsMscdex(line, held)) {
      files.Puts(line, out.Get());
      continue;
    }
    MscdexLineScan scan;
    scan.Feed(line);
    scan.Finish();

    const bool active = NoteLine(scan, ours, several, &changed, found);
    if (active && several) {
      files.Puts(ourRemark, out.Get());
      files.Puts(line, out.Get());
    } else if (active) {
      MscdexLineEdit edit(out.Get(), scan.OptionWord(), letter);
      edit.Feed(line);
      edit.Finish();
    } else {
      files.Puts(line, out.Get());
    }
  }

  if (in.Error()) {
    ReportError("Error reading the file %s", path);
    return fileFailed;
  }
  in.Close();
  return FinishEdit(path, &out, changed);
}

}  // namespace

bool UpdateMscdexLines(const DriveTable& table) {
  int cdRoms = 0;
  char letter = 0;
  for (int i = 0; i < DriveTable::driveCount && cdRoms < 2; ++i) {
    const DriveRecord& record = table.record(i);
    if (!IsDosCdRom(record)) continue;
    if (cdRoms == 0) {
      // A CD-ROM whose letter may not change keeps the one it has.
      letter = record.newLetter >= 'A' && record.newLetter <= 'Z'
                   ? record.newLetter
                   : static_cast<char>('A' + i);
    }
    ++cdRoms;
  }
  if (cdRoms == 0) return true;
  const bool several = cdRoms > 1;
  if (several && platform::prompts().MessageBoxA(
                     GetMainWindowHandle(), severalCdRomsWarning, "Warning",
                     MB_ICONEXCLAMATION | MB_OKCANCEL) != IDOK)
    return false;

  char config[pathSize], autoexec[pathSize];
  StartupPath(table, "CONFIG.SYS", config);
  StartupPath(table, "AUTOEXEC.BAT", autoexec);
  bool result = true, found = false;
  int absent = 0;
  const char* paths[] = {config, autoexec};
  for (const char* path : paths) {
    switch (EditMscdexFile(path, several, letter, &found)) {
      case fileAbsent:
        ++absent;
        break;
      case fileFailed:
        result = false;
        break;
      case fileDone:
        break;
    }
  }

  if (result) {
    if (absent == 2) {
      ReportError(
          "Error modifying MSCDEX line in the files %s and %s - both files "
          "cannot be found.",
          config, autoexec);
      result = false;
    } else if (!found) {
      ReportError(
          "Error searching for MSCDEX in the files %s and %s - the line was "
          "not found.",
          config, autoexec);
      result = false;
    }
  }
  DeleteTemporary();
  return result;
}

bool SetLastDrive(const DriveTable& table, char letter) {
  platform::FileSystem& files = platform::files();
  char config[pathSize];
  StartupPath(table, "CONFIG.SYS", config);
  ScopedFile in, out;
  if (!in.Open(config, "rt", rewriteBufferSize)) {
    if (IsMissing(files.Errno())) return true;
    ReportCrtError("Error opening the file %s", config);
    return false;
  }
  if (!OpenTemporary(&out, temporaryName)) {
    ReportCrtError("Error opening temporary file %s", temporaryName);
    return false;
  }
  char line[16];
  platform::Format(line, sizeof line, "LASTDRIVE=%c\n", UpperChar(letter));
  files.Puts(line, out.Get());

  // A line is judged by its start only: the rest of a long line is copied
  // whatever it holds.
  char piece[pieceSize];
  bool lineStart = true, dropping = false;
  while (files.Gets(piece, sizeof piece, in.Get()) != nullptr) {
    if (lineStart) dropping = StartsWithNoCase(piece, "LASTDRIVE=");
    if (!dropping) files.Puts(piece, out.Get());
    lineStart = EndsLine(piece);
  }

  bool failed = false;
  if (in.Error()) {
    ReportCrtError("Error reading the file %s", config);
    failed = true;
  } else if (out.Error() || !out.Close()) {
    // The last buffer reaches the disk only at the close.
    ReportCrtError("Error writing the file %s", temporaryName);
    failed = true;
  }
  in.Close();
  out.Close();
  if (failed || !ReplaceWithTemporary(config)) {
    DeleteTemporary();
    return false;
  }
  return true;
}
