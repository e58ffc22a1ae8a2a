#include "unlha32/extraction.h"

#include <limits>

#include "unlha32/crc16.h"
#include "unlha32/entry_name.h"
#include "unlha32/temp_file.h"
#include "unlha32/unlha32.h"
#include "unlha32/utf8_locale.h"
#include "win32/codepage.h"
#include "win32/paths.h"

namespace unlha32 {
namespace {

// The smallest header of any level is longer than this, so an archive of n bytes
// holds fewer than n / kMinimumHeader + 1 entries.
constexpr std::int64_t kMinimumHeader = 22;
// Room counted per entry on top of its size: the block it ends in, and the
// folder or inode it needs.
constexpr std::uint64_t kSlackPerEntry = 4096;

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a > std::numeric_limits<std::uint64_t>::max() - b
             ? std::numeric_limits<std::uint64_t>::max()
             : a + b;
}

std::string FolderOf(const std::string& hostPath) {
  return hostPath.substr(0, hostPath.find_last_of('/'));
}

}  // namespace

int Extraction::Run(const std::string& archiveWindowsPath,
                    const std::string& destinationWindowsPath) {
  failure_ = Failure{};
  failure_.archive = win32::Cp932ForDisplay(archiveWindowsPath);
  const ScopedUtf8Locale locale;
  if (!locale.ok()) {
    Fail({ERROR_NOT_SUPPORT, "UTF-8 のロケール (C.UTF-8) がありません。"});
    return failure_.result;
  }
  Extract(archiveWindowsPath, destinationWindowsPath);
  return failure_.result;
}

bool Extraction::Extract(const std::string& archiveWindowsPath,
                        const std::string& destinationWindowsPath) {
  auto archiveHost = win32::ToHostPath(archiveWindowsPath);
  if (!archiveHost) {
    return Fail({ERROR_NOT_FIND_ARC_FILE, "アーカイブのパスが使えません: " +
                                              archiveHost.error().reason});
  }
  Problem problem;
  auto destination = Destination::Map(destinationWindowsPath, problem);
  if (!destination) return Fail(problem);
  {
    auto survey = ArchiveReader::Open(*archiveHost, problem);
    if (!survey) return Fail(problem);
    if (!Survey(*survey)) return false;
  }
  if (!CheckSpace(*destination)) return false;
  if (!observer_.Begin(totalBytes_)) {
    observer_.End();
    return Cancelled(std::string());
  }
  destination->SetWaitingFiles(&batch_);
  bool done = destination->Create(problem) || Fail(problem);
  if (done) {
    auto reader = ArchiveReader::Open(*archiveHost, problem);
    done = reader ? ExtractAll(*reader, *destination) : Fail(problem);
  }
  // The files finished before a failure or a cancel are whole: they go in place
  // too, as they would have without batching.
  if (!batch_.Flush(problem) && done) done = Fail(problem);
  if (done && !destination->Finish(problem)) done = Fail(problem);
  observer_.End();
  return done;
}

bool Extraction::Survey(ArchiveReader& reader) {
  const std::int64_t entryLimit = reader.FileSize() / kMinimumHeader + 1;
  std::int64_t lastPosition = -1;
  for (;;) {
    archive_entry* entry = nullptr;
    const int r = reader.NextHeader(&entry);
    const std::int64_t position = reader.HeaderPosition();
    if (r == ARCHIVE_EOF) {
      if (!reader.HasEndMarkAt(position)) {
        return Fail({ERROR_EOF, "アーカイブの終わりの印がありません。"
                                "分割されたアーカイブの一部が欠けている可能性があります。"});
      }
      return true;
    }
    if (r != ARCHIVE_OK) {
      const Problem problem = reader.Explain(ERROR_HEADER_BROKEN);
      return Fail(problem, plan_.empty() ? std::string() : "(" + plan_.back().name + " の次)");
    }
    // LHA headers follow each other; one that does not lie beyond the previous
    // one, or more entries than the file can hold, means the reader is looping.
    if (position <= lastPosition || static_cast<std::int64_t>(plan_.size()) >= entryLimit) {
      return Fail({ERROR_HEADER_BROKEN, "ヘッダが先へ進みません (ヘッダのループ)。"});
    }
    lastPosition = position;
    if (!PlanEntry(reader, entry)) return false;
  }
}

bool Extraction::PlanEntry(ArchiveReader& reader, archive_entry* entry) {
  const char* utf8 = archive_entry_pathname_utf8(entry);
  if (utf8 == nullptr) return Fail({ERROR_HEADER_BROKEN, "名前を CP932 として読めません。"});
  const std::string rawName = utf8;
  auto components = SplitEntryName(rawName);
  if (!components) return Fail({ERROR_UNSAFE_NAME, components.error().reason}, rawName);
  PlannedEntry planned;
  planned.name = DisplayName(*components);
  if (archive_entry_symlink(entry) != nullptr || archive_entry_hardlink(entry) != nullptr ||
      archive_entry_filetype(entry) == AE_IFLNK) {
    return Fail({ERROR_UNSAFE_NAME, "リンクは展開できません。"}, planned.name);
  }
  const auto type = archive_entry_filetype(entry);
  if (type != AE_IFREG && type != AE_IFDIR) {
    return Fail({ERROR_UNSAFE_NAME, "デバイスなど特殊なファイルは展開できません。"}, planned.name);
  }
  const std::int64_t position = reader.HeaderPosition();
  const auto header = reader.PeekHeader(position);
  if (!header) {
    return Fail(reader.ReadProblem().value_or(
                    Problem{ERROR_HEADER_BROKEN, "ヘッダの位置が合いません。"}),
                planned.name);
  }
  if (!IsDecodedMethod(header->method)) {
    return Fail({ERROR_METHOD, "圧縮方式 " + MethodForDisplay(header->method) +
                                   " には対応していません。"},
                planned.name);
  }
  for (const auto& part : *components) {
    auto cp932 = win32::Utf8ToCp932(part);
    if (!cp932) return Fail({ERROR_UNSAFE_NAME, cp932.error().reason}, planned.name);
    planned.components.push_back(std::move(*cp932));
  }
  planned.folder = type == AE_IFDIR;
  if (!planned.folder) {
    const std::int64_t size = archive_entry_size(entry);
    if (size < 0) return Fail({ERROR_HEADER_BROKEN, "ヘッダのサイズが不正です。"}, planned.name);
    planned.size = static_cast<std::uint64_t>(size);
  }
  planned.modified = {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)};
  planned.crc = header->crc;
  // libarchive checks the data CRC of level 2 and 3 headers itself (and reports a
  // mismatch as a warning at the end of the data); for levels 0 and 1 it does not.
  planned.checkCrc = header->level < 2;
  planned.headerPosition = position;
  totalBytes_ = SaturatingAdd(totalBytes_, planned.size);
  plan_.push_back(std::move(planned));
  return true;
}

bool Extraction::CheckSpace(const Destination& destination) {
  std::uint64_t needed = 0;
  for (const auto& entry : plan_) needed = SaturatingAdd(needed, SaturatingAdd(entry.size, kSlackPerEntry));
  std::uint64_t available = 0;
  Problem problem;
  if (!destination.FreeBytes(available, problem)) return Fail(problem);
  if (needed > available) {
    return Fail({ERROR_DISK_SPACE, "ディスクの空き容量が足りません (必要 " +
                                       std::to_string(needed / 1024) + " KB、空き " +
                                       std::to_string(available / 1024) + " KB)。"});
  }
  return true;
}

bool Extraction::ExtractAll(ArchiveReader& reader, Destination& destination) {
  for (const auto& planned : plan_) {
    archive_entry* entry = nullptr;
    const int r = reader.NextHeader(&entry);
    if (r != ARCHIVE_OK) return Fail(reader.Explain(ERROR_HEADER_BROKEN), planned.name);
    if (reader.HeaderPosition() != planned.headerPosition) {
      return Fail({ERROR_HEADER_BROKEN, "アーカイブが読み取り中に変わりました。"}, planned.name);
    }
    if (!observer_.Progress(planned.name, bytesDone_)) return Cancelled(planned.name);
    Problem problem;
    std::string host;
    if (planned.folder) {
      if (!destination.Folder(planned.components, planned.components.size(), host, problem)) {
        return Fail(problem, planned.name);
      }
      destination.NoteFolderTime(host, planned.modified);
      continue;
    }
    if (!ExtractFile(reader, destination, planned)) return false;
    ++files_;
  }
  return true;
}

bool Extraction::ExtractFile(ArchiveReader& reader, Destination& destination,
                             const PlannedEntry& planned) {
  Problem problem;
  std::string folder;
  std::string host;
  if (!destination.Folder(planned.components, planned.components.size() - 1, folder, problem) ||
      !destination.FilePath(planned.components, host, problem)) {
    return Fail(problem, planned.name);
  }
  auto file = TempFile::Create(FolderOf(host), host, problem);
  if (!file) return Fail(problem, planned.name);
  std::uint64_t written = 0;
  std::uint16_t crc = 0;
  for (;;) {
    const void* block = nullptr;
    std::size_t size = 0;
    std::int64_t offset = 0;
    const int r = reader.ReadBlock(&block, &size, &offset);
    if (r == ARCHIVE_EOF) break;
    // A warning here is a failure: libarchive reports a data CRC error as one,
    // after the data has been delivered.
    if (r != ARCHIVE_OK) return Fail(reader.Explain(ERROR_FILE_CRC), planned.name);
    if (offset < 0 || static_cast<std::uint64_t>(offset) != written) {
      return Fail({ERROR_FILE_CRC, "データの位置が合いません。"}, planned.name);
    }
    if (size > planned.size - written) {
      return Fail({ERROR_FILE_CRC, "データがヘッダのサイズより長く続きます。"}, planned.name);
    }
    if (size == 0) continue;
    if (planned.checkCrc) crc = Crc16(crc, block, size);
    if (!file->Write(block, size, problem)) return Fail(problem, planned.name);
    written += size;
    bytesDone_ += size;
    if (!observer_.Progress(planned.name, bytesDone_)) return Cancelled(planned.name);
  }
  if (written != planned.size) {
    return Fail({ERROR_FILE_CRC, "データがヘッダのサイズより短く終わります。"}, planned.name);
  }
  if (planned.checkCrc && crc != planned.crc) {
    return Fail({ERROR_FILE_CRC, "CRC が一致しません。"}, planned.name);
  }
  if (!file->Finish(planned.modified, problem) ||
      !batch_.Add(std::move(file), planned.size, planned.name, problem)) {
    return Fail(problem, planned.name);
  }
  return true;
}

bool Extraction::Fail(const Problem& problem, const std::string& entry) {
  failure_.result = problem.result;
  failure_.reason = problem.reason;
  failure_.entry = problem.entry.empty() ? entry : problem.entry;
  return false;
}

bool Extraction::Cancelled(const std::string& entry) {
  return Fail({ERROR_USER_CANCEL, "展開は取り消されました。"}, entry);
}

}  // namespace unlha32
