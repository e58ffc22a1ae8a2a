// libarchive's LHA reader on an archive file opened through the file-system seam,
// so that tests can make reading fail. Names come as UTF-8 from headers in CP932
// ("lha:hdrcharset=CP932"); the caller holds a ScopedUtf8Locale for the reader's
// whole life.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "unlha32/raw_header.h"

namespace unlha32 {

// Why an archive could not be used: a result of unlha32.h and a reason (UTF-8).
struct Problem {
  Problem() = default;
  Problem(int result_, std::string reason_, std::string entry_ = std::string())
      : result(result_), reason(std::move(reason_)), entry(std::move(entry_)) {}

  int result = 0;
  std::string reason;
  std::string entry;  // the entry it concerns when that is not the one being extracted
};

class ArchiveReader {
 public:
  // Opens the archive at hostPath for one pass over its entries.
  static std::unique_ptr<ArchiveReader> Open(const std::string& hostPath, Problem& problem);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // archive_read_next_header: ARCHIVE_OK, ARCHIVE_EOF, or a failure (WARN
  // included) to be explained with Explain.
  int NextHeader(archive_entry** entry);
  // archive_read_data_block, likewise.
  int ReadBlock(const void** buffer, std::size_t* size, std::int64_t* offset);

  // Where the header last asked for starts in the archive file.
  std::int64_t HeaderPosition() const;
  // The raw fields of the header at position, read from the file itself.
  std::optional<RawHeader> PeekHeader(std::int64_t position);
  // True when the archive ends with the end mark (a 0 byte) at position.
  bool HasEndMarkAt(std::int64_t position);
  std::int64_t FileSize() const { return fileSize_; }

  // The read error met so far, if any.
  std::optional<Problem> ReadProblem() const;
  // Turns the last failure into a result and a reason. fallback is the result for
  // a failure that is not a read error, a cut archive or an unknown method.
  Problem Explain(int fallback);

 private:
  ArchiveReader() = default;
  static la_ssize_t ReadCallback(archive* a, void* self, const void** buffer);
  static la_int64_t SkipCallback(archive* a, void* self, la_int64_t request);
  bool ReadAt(std::int64_t position, void* buffer, std::size_t size, std::size_t& got);
  // True when a level 3 header at position declares more bytes than follow it.
  bool DeclaresMoreThanLeft(std::int64_t position);

  archive* archive_ = nullptr;
  int fd_ = -1;        // the stream libarchive reads
  int peekFd_ = -1;    // a second descriptor for header peeks, so the stream's position stays
  std::int64_t fileSize_ = 0;
  int readErrno_ = 0;  // set when the seam refused a read or a skip
  std::int64_t headerPosition_ = 0;
  bool entryOpen_ = false;  // a header was read and its data may still be unread
  std::vector<unsigned char> buffer_;
};

}  // namespace unlha32
