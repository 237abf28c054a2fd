// Texts the machine shows: Windows 9x's English system messages and
// msvcrt's strerror texts.
#include <stdint.h>

#include "platform/sim/SimParts.h"

namespace sim {

namespace {
struct Message {
  uint32_t code;
  const char* text;
};

const Message kMessages[] = {
    {0, "The operation completed successfully.\r\n"},
    {1, "Incorrect function.\r\n"},
    {2, "The system cannot find the file specified.\r\n"},
    {3, "The system cannot find the path specified.\r\n"},
    {4, "The system cannot open the file.\r\n"},
    {5, "Access is denied.\r\n"},
    {6, "The handle is invalid.\r\n"},
    {8, "Not enough storage is available to process this command.\r\n"},
    {14, "Not enough storage is available to complete this operation.\r\n"},
    {15, "The system cannot find the drive specified.\r\n"},
    {16, "The directory cannot be removed.\r\n"},
    {17, "The system cannot move the file to a different disk drive.\r\n"},
    {18, "There are no more files.\r\n"},
    {19, "The media is write protected.\r\n"},
    {21, "The device is not ready.\r\n"},
    {29, "The system cannot write to the specified device.\r\n"},
    {30, "The system cannot read from the specified device.\r\n"},
    {32,
     "The process cannot access the file because it is being used by "
     "another process.\r\n"},
    {33,
     "The process cannot access the file because another process has "
     "locked a portion of the file.\r\n"},
    {39, "The disk is full.\r\n"},
    {50, "The network request is not supported.\r\n"},
    {53, "The network path was not found.\r\n"},
    {67, "The network name cannot be found.\r\n"},
    {80, "The file exists.\r\n"},
    {82, "The directory or file cannot be created.\r\n"},
    {87, "The parameter is incorrect.\r\n"},
    {112, "There is not enough space on the disk.\r\n"},
    {120, "This function is not supported on this system.\r\n"},
    {122, "The data area passed to a system call is too small.\r\n"},
    {123,
     "The filename, directory name, or volume label syntax is "
     "incorrect.\r\n"},
    {127, "The specified procedure could not be found.\r\n"},
    {145, "The directory is not empty.\r\n"},
    {183, "Cannot create a file when that file already exists.\r\n"},
    {206, "The filename or extension is too long.\r\n"},
    {234, "More data is available.\r\n"},
    {259, "No more data is available.\r\n"},
    {267, "The directory name is invalid.\r\n"},
    {1010, "The configuration registry key is invalid.\r\n"},
    {1011, "The configuration registry key could not be opened.\r\n"},
    {1012, "The configuration registry key could not be read.\r\n"},
    {1013, "The configuration registry key could not be written.\r\n"},
    {1014,
     "One of the files in the registry database had to be recovered by use "
     "of a log or alternate copy. The recovery was successful.\r\n"},
    {1015,
     "The registry is corrupted. The structure of one of the files that "
     "contains registry data is corrupted, or the system's image of the file "
     "in memory is corrupted, or the file could not be recovered because the "
     "alternate copy or log was absent or corrupted.\r\n"},
    {1016,
     "An I/O operation initiated by the registry failed unrecoverably. The "
     "registry could not read in, or write out, or flush, one of the files "
     "that contain the system's image of the registry.\r\n"},
    {1017,
     "The system has attempted to load or restore a file into the registry, "
     "but the specified file is not in a registry file format.\r\n"},
    {1018,
     "Illegal operation attempted on a registry key which has been marked "
     "for deletion.\r\n"},
    {1222, "The network is not present or not started.\r\n"},
};
}  // namespace

const char* SystemMessage(uint32_t code) {
  for (const Message& message : kMessages)
    if (message.code == code) return message.text;
  return nullptr;
}

// msvcrt's _sys_errlist, in errno order.
const char* const kCrtErrors[] = {"No error",
                                  "Operation not permitted",
                                  "No such file or directory",
                                  "No such process",
                                  "Interrupted function call",
                                  "Input/output error",
                                  "No such device or address",
                                  "Arg list too long",
                                  "Exec format error",
                                  "Bad file descriptor",
                                  "No child processes",
                                  "Resource temporarily unavailable",
                                  "Not enough space",
                                  "Permission denied",
                                  "Bad address",
                                  "Unknown error",
                                  "Resource device",
                                  "File exists",
                                  "Improper link",
                                  "No such device",
                                  "Not a directory",
                                  "Is a directory",
                                  "Invalid argument",
                                  "Too many open files in system",
                                  "Too many open files",
                                  "Inappropriate I/O control operation",
                                  "Unknown error",
                                  "File too large",
                                  "No space left on device",
                                  "Invalid seek",
                                  "Read-only file system",
                                  "Too many links",
                                  "Broken pipe",
                                  "Domain error",
                                  "Result too large",
                                  "Unknown error",
                                  "Resource deadlock avoided",
                                  "Unknown error",
                                  "Filename too long",
                                  "No locks available",
                                  "Function not implemented",
                                  "Directory not empty",
                                  "Illegal byte sequence"};
const int kCrtErrorCount = int(sizeof kCrtErrors / sizeof kCrtErrors[0]);

}  // namespace sim
