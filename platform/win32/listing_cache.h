// The per-folder listing cache behind Windows path lookup: exact names, names
// folded for case-insensitive comparison, and the folder's 8.3 short names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace win32 {

// The entry of hostFolder that the UTF-8 name names: the name itself when it
// exists, else a case-insensitive match, else an entry whose short name it is.
// Nothing when there is none (or the folder cannot be read).
std::optional<std::string> MatchEntry(const std::string& hostFolder, const std::string& name);

// The CP932 short name of the existing entry name in hostFolder; nothing when the
// folder cannot be read or holds no such entry.
std::optional<std::string> ShortNameOf(const std::string& hostFolder, const std::string& name);

// Keeps cached listings right after a change made through the file system seam.
void NoteCreated(const std::string& hostPath);
void NoteRemoved(const std::string& hostPath);

// Drops all cached listings, or the one of a folder.
void ForgetListings();
void ForgetListing(const std::string& hostFolder);

// How many folders have been read from disk since the process started.
std::size_t ListingScans();

}  // namespace win32
