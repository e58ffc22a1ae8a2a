#include "listing_cache.h"

#include <sys/stat.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

#include "case_fold.h"
#include "host_path.h"
#include "short_name.h"
#include "win32/codepage.h"
#include "win32/filesystem.h"

namespace win32 {
namespace {

// A folder's entries as last read, and the folder's identity and modification
// time then: a folder changed behind the layer's back is read again.
struct Listing {
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified{};
  std::set<std::string> names;
  std::map<std::string, std::set<std::string>> byFold;
  bool shortNamesKnown = false;
  std::unordered_map<std::string, std::string> shortOf;     // name -> CP932 short name
  std::unordered_map<std::string, std::string> byShortFold;  // folded short -> name

  void Add(const std::string& name) {
    if (!IsValidUtf8(name) || !names.insert(name).second) return;
    byFold[FoldCase(name)].insert(name);
    shortNamesKnown = false;
  }
  void Remove(const std::string& name) {
    if (names.erase(name) == 0) return;
    const auto fold = byFold.find(FoldCase(name));
    if (fold != byFold.end()) {
      fold->second.erase(name);
      if (fold->second.empty()) byFold.erase(fold);
    }
    shortNamesKnown = false;
  }
  void KnowShortNames() {
    if (shortNamesKnown) return;
    shortOf = AssignShortNames(std::vector<std::string>(names.begin(), names.end()));
    byShortFold.clear();
    for (const auto& [name, shortName] : shortOf) {
      Expected<std::string> utf8 = Cp932ToUtf8(shortName);
      if (utf8) byShortFold.emplace(FoldCase(*utf8), name);
    }
    shortNamesKnown = true;
  }
};

// Enough folders for any installation; beyond it the cache starts over.
constexpr std::size_t kMostFolders = 1024;

std::mutex mutex;
std::unordered_map<std::string, Listing> listings;
std::atomic<std::size_t> scans{0};

bool SameState(const Listing& listing, const struct stat& now) {
  return listing.device == now.st_dev && listing.inode == now.st_ino &&
         listing.modified.tv_sec == now.st_mtim.tv_sec &&
         listing.modified.tv_nsec == now.st_mtim.tv_nsec;
}

void RecordState(Listing& listing, const struct stat& now) {
  listing.device = now.st_dev;
  listing.inode = now.st_ino;
  listing.modified = now.st_mtim;
}

// The up-to-date listing of folder, read when needed; null when the folder
// cannot be read. Called with the mutex held.
Listing* Current(const std::string& folder) {
  struct stat now {};
  if (Fs().Stat(folder.c_str(), &now) != 0 || !S_ISDIR(now.st_mode)) {
    listings.erase(folder);
    return nullptr;
  }
  const auto found = listings.find(folder);
  if (found != listings.end() && SameState(found->second, now)) return &found->second;
  std::vector<std::string> names;
  if (Fs().ListFolder(folder.c_str(), &names) != 0) return nullptr;
  ++scans;
  if (listings.size() >= kMostFolders) listings.clear();
  Listing& listing = listings[folder];
  listing = Listing{};
  RecordState(listing, now);
  for (const std::string& name : names) listing.Add(name);
  return &listing;
}

// Applies a change to the cached listing of path's folder, if there is one.
template <class Change>
void Update(const std::string& path, Change change) {
  const std::string full = AbsoluteHostPath(path);
  const std::string folder = HostParent(full);
  std::lock_guard lock(mutex);
  const auto found = listings.find(folder);
  if (found == listings.end()) return;
  struct stat now {};
  if (Fs().Stat(folder.c_str(), &now) != 0) {
    listings.erase(found);
    return;
  }
  change(found->second, HostBaseName(full));
  RecordState(found->second, now);
}

}  // namespace

std::optional<std::string> MatchEntry(const std::string& hostFolder, const std::string& name) {
  struct stat ignored {};
  if (Fs().Lstat(JoinHost(hostFolder, name).c_str(), &ignored) == 0) return name;
  std::lock_guard lock(mutex);
  Listing* listing = Current(hostFolder);
  if (listing == nullptr) return std::nullopt;
  const std::string folded = FoldCase(name);
  const auto fold = listing->byFold.find(folded);
  if (fold != listing->byFold.end()) return *fold->second.begin();
  if (name.find('~') == std::string::npos) return std::nullopt;
  listing->KnowShortNames();
  const auto byShort = listing->byShortFold.find(folded);
  if (byShort != listing->byShortFold.end()) return byShort->second;
  return std::nullopt;
}

std::optional<std::string> ShortNameOf(const std::string& hostFolder, const std::string& name) {
  std::lock_guard lock(mutex);
  Listing* listing = Current(hostFolder);
  if (listing == nullptr) return std::nullopt;
  listing->KnowShortNames();
  const auto found = listing->shortOf.find(name);
  if (found == listing->shortOf.end()) return std::nullopt;
  return found->second;
}

void NoteCreated(const std::string& hostPath) {
  Update(hostPath, [](Listing& listing, const std::string& name) { listing.Add(name); });
}

void NoteRemoved(const std::string& hostPath) {
  Update(hostPath, [](Listing& listing, const std::string& name) { listing.Remove(name); });
  ForgetListing(AbsoluteHostPath(hostPath));
}

void ForgetListings() {
  std::lock_guard lock(mutex);
  listings.clear();
}

void ForgetListing(const std::string& hostFolder) {
  std::lock_guard lock(mutex);
  listings.erase(hostFolder);
}

std::size_t ListingScans() { return scans.load(); }

}  // namespace win32
