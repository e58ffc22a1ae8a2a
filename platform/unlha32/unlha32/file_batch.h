// Finished files waiting to be put in place. Each must be on disk before it is
// renamed over its final name, or a crash could leave an empty file where a good
// one was. Flushing every file on its own costs one flush of the disk's cache per
// file (milliseconds each, most of the time of a small-file archive), so files are
// flushed in batches: one flush of the whole file system makes the data of every
// file of the batch durable, then the batch is renamed in archive order.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "unlha32/temp_file.h"

namespace unlha32 {

class FileBatch {
 public:
  // Takes a finished file (entry names it for messages); flushes and renames the
  // batch when it is full.
  bool Add(std::unique_ptr<TempFile> file, std::uint64_t size, const std::string& entry,
           Problem& problem);
  // Flushes and renames what is waiting. After a failure every waiting temporary
  // file is removed and no final name was touched by this batch's flush failure.
  bool Flush(Problem& problem);
  // Drops what is waiting (its temporary files are removed).
  void Discard();
  // True when a waiting file will be renamed to hostPath.
  bool Holds(const std::string& hostPath) const { return finals_.count(hostPath) != 0; }

 private:
  std::vector<std::unique_ptr<TempFile>> files_;
  std::vector<std::string> entries_;
  std::set<std::string> finals_;
  std::uint64_t bytes_ = 0;
};

// Makes everything written to the file system that holds folder durable: syncfs
// writes its dirty data and metadata with one flush of the disk's cache, and the
// fsync of the folder through the file-system seam reports an error the system
// kept (and is where tests make the flush fail).
bool FlushFileSystem(const std::string& folder, Problem& problem);

}  // namespace unlha32
