#include "unlha32/archive_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "unlha32/unlha32.h"
#include "win32/filesystem.h"

namespace unlha32 {
namespace {

constexpr std::size_t kReadBlock = 128 * 1024;
// A level 0 or 1 header holds its data CRC after a name of up to 255 bytes.
constexpr std::size_t kHeaderPeek = 22 + 255 + 2;

std::string SystemReason(const char* what, int errnum) {
  return std::string(what) + " (" + win32::ErrnoText(errnum) + ")";
}

int OpenForReading(const std::string& hostPath) {
  int fd;
  do {
    fd = win32::Fs().Open(hostPath.c_str(), O_RDONLY | O_CLOEXEC, 0);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

std::unique_ptr<ArchiveReader> ArchiveReader::Open(const std::string& hostPath,
                                                   Problem& problem) {
  struct stat info {};
  if (win32::Fs().Stat(hostPath.c_str(), &info) != 0) {
    const int errnum = errno;
    problem = {errnum == ENOENT || errnum == ENOTDIR ? ERROR_NOT_FIND_ARC_FILE : ERROR_ARC_FILE_OPEN,
               SystemReason("アーカイブが見つかりません。", errnum)};
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    problem = {ERROR_ARC_FILE_OPEN, "アーカイブはファイルではありません。"};
    return nullptr;
  }
  std::unique_ptr<ArchiveReader> reader(new ArchiveReader);
  reader->fileSize_ = info.st_size;
  reader->fd_ = OpenForReading(hostPath);
  if (reader->fd_ >= 0) reader->peekFd_ = OpenForReading(hostPath);
  if (reader->fd_ < 0 || reader->peekFd_ < 0) {
    problem = {ERROR_ARC_FILE_OPEN, SystemReason("アーカイブを開けません。", errno)};
    return nullptr;
  }
  reader->buffer_.resize(kReadBlock);
  reader->archive_ = archive_read_new();
  if (reader->archive_ == nullptr) {
    problem = {ERROR_ARC_FILE_OPEN, "アーカイブを読む準備ができません (メモリ不足)。"};
    return nullptr;
  }
  archive_read_support_format_lha(reader->archive_);
  if (archive_read_set_options(reader->archive_, "lha:hdrcharset=CP932") != ARCHIVE_OK) {
    problem = {ERROR_NOT_SUPPORT, std::string("CP932 の名前を読む準備ができません: ") +
                                      archive_error_string(reader->archive_)};
    return nullptr;
  }
  if (archive_read_open2(reader->archive_, reader.get(), nullptr, &ReadCallback, &SkipCallback,
                         nullptr) != ARCHIVE_OK) {
    problem = reader->Explain(ERROR_NOT_ARC_FILE);
    if (problem.result == ERROR_EOF) problem.result = ERROR_NOT_ARC_FILE;
    return nullptr;
  }
  return reader;
}

ArchiveReader::~ArchiveReader() {
  if (archive_ != nullptr) archive_read_free(archive_);
  if (fd_ >= 0) win32::Fs().Close(fd_);
  if (peekFd_ >= 0) win32::Fs().Close(peekFd_);
}

la_ssize_t ArchiveReader::ReadCallback(archive* a, void* self, const void** buffer) {
  auto* reader = static_cast<ArchiveReader*>(self);
  ssize_t got;
  do {
    got = win32::Fs().Read(reader->fd_, reader->buffer_.data(), reader->buffer_.size());
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    reader->readErrno_ = errno;
    archive_set_error(a, errno, "read error");
    return -1;
  }
  *buffer = reader->buffer_.data();
  return got;
}

la_int64_t ArchiveReader::SkipCallback(archive* a, void* self, la_int64_t request) {
  auto* reader = static_cast<ArchiveReader*>(self);
  const off_t here = win32::Fs().Seek(reader->fd_, 0, SEEK_CUR);
  if (here < 0) return 0;  // libarchive then reads its way forward instead
  // Never seek past the end: a short skip is how libarchive learns that the
  // archive was cut inside an entry's data.
  la_int64_t step = request;
  if (step > reader->fileSize_ - here) step = reader->fileSize_ - here;
  if (step <= 0) return 0;
  if (win32::Fs().Seek(reader->fd_, here + step, SEEK_SET) < 0) {
    reader->readErrno_ = errno;
    archive_set_error(a, errno, "seek error");
    return -1;
  }
  return step;
}

// libarchive (3.6) reads a level 3 header whole, at the 32-bit size the header
// declares, before it checks anything else, and allocates that much for it: a
// header that claims 3 GB makes it ask for 3 GB. A header that claims more bytes
// than the archive has left is cut short anyway, so it is refused here first.
bool ArchiveReader::DeclaresMoreThanLeft(std::int64_t position) {
  constexpr std::size_t kLevelOffset = 20;
  constexpr std::size_t kLevel3SizeOffset = 24;
  unsigned char bytes[kLevel3SizeOffset + 4];
  std::size_t got = 0;
  if (position < 0 || !ReadAt(position, bytes, sizeof bytes, got) || got < sizeof bytes) {
    return false;
  }
  if (bytes[2] != '-' || bytes[6] != '-' || bytes[kLevelOffset] != 3) return false;
  const unsigned char* size = bytes + kLevel3SizeOffset;
  const std::int64_t declared = std::int64_t{size[0]} | (std::int64_t{size[1]} << 8) |
                                (std::int64_t{size[2]} << 16) | (std::int64_t{size[3]} << 24);
  return declared > fileSize_ - position;
}

int ArchiveReader::NextHeader(archive_entry** entry) {
  // libarchive refuses to tell a header's position once a header failed, so the
  // position is taken here: after the previous entry's data is passed over, the
  // stream stands at the next header.
  if (entryOpen_) {
    entryOpen_ = false;
    const int skipped = archive_read_data_skip(archive_);
    if (skipped != ARCHIVE_OK) return skipped;
  }
  headerPosition_ = archive_filter_bytes(archive_, 0);
  if (DeclaresMoreThanLeft(headerPosition_)) {
    archive_set_error(archive_, EINVAL, "Truncated LHa header");
    return ARCHIVE_FATAL;
  }
  const int r = archive_read_next_header(archive_, entry);
  entryOpen_ = r == ARCHIVE_OK || r == ARCHIVE_WARN;
  return r;
}

int ArchiveReader::ReadBlock(const void** buffer, std::size_t* size, std::int64_t* offset) {
  la_int64_t at = 0;
  const int r = archive_read_data_block(archive_, buffer, size, &at);
  *offset = at;
  return r;
}

std::int64_t ArchiveReader::HeaderPosition() const { return headerPosition_; }

bool ArchiveReader::ReadAt(std::int64_t position, void* buffer, std::size_t size,
                           std::size_t& got) {
  got = 0;
  if (win32::Fs().Seek(peekFd_, position, SEEK_SET) < 0) {
    readErrno_ = errno;
    return false;
  }
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (got < size) {
    const ssize_t n = win32::Fs().Read(peekFd_, bytes + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      readErrno_ = errno;
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<RawHeader> ArchiveReader::PeekHeader(std::int64_t position) {
  unsigned char bytes[kHeaderPeek];
  std::size_t got = 0;
  if (position < 0 || !ReadAt(position, bytes, sizeof bytes, got)) return std::nullopt;
  return ParseRawHeader(bytes, got);
}

bool ArchiveReader::HasEndMarkAt(std::int64_t position) {
  unsigned char mark = 1;
  std::size_t got = 0;
  return position >= 0 && position < fileSize_ && ReadAt(position, &mark, 1, got) && got == 1 &&
         mark == 0;
}

std::optional<Problem> ArchiveReader::ReadProblem() const {
  if (readErrno_ == 0) return std::nullopt;
  return Problem{ERROR_CANNOT_READ, SystemReason("アーカイブを読めません。", readErrno_)};
}

Problem ArchiveReader::Explain(int fallback) {
  const char* text = archive_error_string(archive_);
  const std::string detail = text != nullptr ? text : "unknown error";
  if (auto problem = ReadProblem()) return *problem;
  const auto header = PeekHeader(HeaderPosition());
  if (auto problem = ReadProblem()) return *problem;
  if (header && !IsDecodedMethod(header->method)) {
    return {ERROR_METHOD, "圧縮方式 " + MethodForDisplay(header->method) +
                              " には対応していません。"};
  }
  if (detail.find("Truncated") != std::string::npos) {
    return {ERROR_EOF, "アーカイブが途中で切れています (" + detail + ")。"};
  }
  return {fallback, "アーカイブが壊れています (" + detail + ")。"};
}

}  // namespace unlha32
