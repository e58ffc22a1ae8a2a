// Windows paths (CP932 bytes, "\" or "/" separators) and host paths (UTF-8).
//
// "X:\rest" goes through the drive link dosdevices/x: of the prefix (either case);
// a relative path is taken against the process's current directory (a path that
// starts with a separator, against the drive of the current directory). UNC paths,
// unknown drives, invalid CP932 bytes, and the components "." and ".." are resolved
// or refused exactly as the comments below say, never mangled.
//
// Lookup of each existing component: exact name, then case-insensitive, then an
// 8.3 short name ("PROGRA~1") derived as GetShortPathNameA gives it. Listings are
// cached per folder; the layer's own writes (through filesystem.h) keep the cache
// right, so extracting n files into one folder scans that folder once.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "win32/result.h"

namespace win32 {

// Windows path to host path. Missing components are converted by name (for files
// about to be created); existing ones are matched as above. "." and ".." are
// resolved on the text and never climb above the drive's root (as on Windows,
// "C:\..\x" is "C:\x"); blanks and dots that end a name are dropped, as Windows
// drops them; a name holding a control character or one of <>:"|?* is refused.
// "C:name" is taken against the current folder when that lies on drive C, else
// against C:'s root.
Expected<std::string> ToHostPath(std::string_view windowsPath);

// Host path to Windows path: the longest drive mapping that holds it, "/" to "\",
// UTF-8 to CP932. A name CP932 cannot hold fails.
Expected<std::string> ToWindowsPath(std::string_view hostPath);

// The 8.3 form of an existing Windows path, per component, deterministic for the
// folder's current entries; the result resolves back through ToHostPath.
Expected<std::string> ShortPathName(std::string_view windowsPath);

// Drops every cached listing (for tests that change folders behind the layer).
void ForgetCachedListings();

// Tells the cache that a host entry was created, renamed or removed by someone who
// did not go through filesystem.h.
void NoteHostEntryChanged(const std::string& hostPath);

// How many folder listings have been read from disk so far in this process, for
// tests that prove lookups are served from the cache.
std::size_t ListingScanCount();

}  // namespace win32
