// The LHA archiver library's one entry, on libarchive. Only the command the
// installer sends is understood:
//
//   x "C:\WINDOWS\TEMP\TAVOTEMP.LZH" "C:\Program Files\Korvane\Tavolin\Foo\"
//
// (CP932 Windows paths). It extracts every entry of the archive below the
// destination, restoring the archive's folders and timestamps, creating the
// destination with its parents. While it works it shows a progress window owned
// by hwnd with a "キャンセル" button, and it reports every failure in a message box
// of its own. A null hwnd shows no window and reports failures through
// win32::Report (standard error unless the form library took it over).
//
// Guarantees: nothing is written outside the destination; every file is written
// under a temporary name beside its place, flushed to disk and renamed over an
// existing file only when its entry ended cleanly, so no half-written file ever
// stays; the archive is examined whole (names, methods, sizes, free space) before
// the first byte is written.
//
// Deliberately differs from the archiver library: the only command is "x", there
// are no switches, and the output log is a short summary.
#pragma once

#include "win32/types.h"

// Results. 0 is success; every failure has its own value, in the 0x8000 range in
// which archiver libraries give their errors.
inline constexpr int ERROR_DISK_SPACE = 0x8005;        // the declared sizes do not fit, or the disk filled up
inline constexpr int ERROR_METHOD = 0x8009;            // an entry is compressed with a method that is not decoded
inline constexpr int ERROR_FILE_CRC = 0x800C;          // an entry's data is damaged (checksum, size or coding)
inline constexpr int ERROR_MAKEDIRECTORY = 0x8012;     // the destination or a folder in it cannot be made
inline constexpr int ERROR_CANNOT_WRITE = 0x8013;      // a file cannot be written, flushed or put in place
inline constexpr int ERROR_HEADER_BROKEN = 0x8017;     // a header is damaged, or the headers do not advance
inline constexpr int ERROR_ARC_FILE_OPEN = 0x8018;     // the archive exists but cannot be opened
inline constexpr int ERROR_NOT_ARC_FILE = 0x8019;      // the file is no LHA archive
inline constexpr int ERROR_CANNOT_READ = 0x801A;       // reading the archive failed (an I/O error)
inline constexpr int ERROR_COMMAND_NAME = 0x801C;      // the command is not "x"
inline constexpr int ERROR_ALREADY_RUNNING = 0x801F;   // called again while an extraction runs
inline constexpr int ERROR_USER_CANCEL = 0x8020;       // the user pressed "キャンセル"
inline constexpr int ERROR_NOT_SUPPORT = 0x8023;       // the UTF-8 locale needed for names is missing
inline constexpr int ERROR_NOT_FIND_ARC_FILE = 0x8029; // the archive does not exist or its path cannot be mapped
inline constexpr int ERROR_NOT_FILENAME = 0x802B;      // the command text is not x "archive" "destination"
inline constexpr int ERROR_EOF = 0x802D;               // the archive ends early (cut inside an entry, or no end mark)
inline constexpr int ERROR_UNSAFE_NAME = 0x8050;       // an entry's name leads outside the destination, or names a link or device

// Runs command. output, when not null and size is above 0, receives a short
// NUL-terminated CP932 summary, never more than size bytes; the installer passes
// null and 0.
int Unlha(HWND hwnd, const char* command, char* output, DWORD size);

namespace unlha32 {

class ExtractionObserver;
class FailureReporter;

// For tests: the calls that follow use observer instead of the progress window and
// reporter instead of the message boxes, whatever hwnd is; nullptr restores the
// default for that part. The caller keeps ownership.
void UnlhaSetUiForTesting(ExtractionObserver* observer, FailureReporter* reporter);

}  // namespace unlha32
