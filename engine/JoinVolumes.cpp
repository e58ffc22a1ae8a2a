// Joining the numbered volumes of a split package: member code of TForm1.
#include <array>
#include <memory>

#include "engine/messages.h"
#include "engine/stage_texts.h"
#include "engine/text_buffer.h"
#include "forms/Unit1.h"
#include "forms/Unit3.h"
#include "forms/Unit5.h"
#include "win32/codepage.h"
#include "win32/kernel.h"
#include "win32/stream.h"
#include "vcl/forms.h"
#include "vcl/windows.h"

using engine::TextOf;

namespace {

constexpr std::size_t kCopyBlockSize = 4096;

// The one copy block of the joining: no allocation per block, none per volume.
std::array<char, kCopyBlockSize> CopyBlock;

}  // namespace

bool TForm1::JoinVolumes() {
  Update();
  Form3->Label1->SetCaption(win32::Ansi("ファイルの結合中です ..."));
  Form3->Show();
  Form3->Update();

  char tempDir[MAX_PATH];
  const DWORD tempLength = GetTempPathA(sizeof tempDir, tempDir);
  if (tempLength == 0 || tempLength >= sizeof tempDir ||
      !engine::BuildTemporaryArchivePath(ArchivePath, std::string_view(tempDir, tempLength))) {
    ShowInstallError(engine::PathTooLongMessage(std::string_view(tempDir, tempLength)));
    return false;
  }

  auto opened = win32::Stream::Open(TextOf(ArchivePath), "wb");
  if (!opened) {
    ShowInstallError(engine::TemporaryArchiveMessage(TextOf(ArchivePath), opened.error().reason));
    return false;
  }
  std::unique_ptr<win32::Stream> archive = std::move(*opened);
  // From here on the partial archive is removed on every way out but success.
  const auto abandon = [&](const std::string& message) {
    archive->Close();
    DeleteFileA(ArchivePath);
    if (!message.empty()) ShowInstallError(message);
    return false;
  };

  char volumeName[MAX_PATH];
  for (std::int32_t i = 1; i <= VolumeCount; ++i) {
    if (!engine::BuildVolumeName(volumeName, TextOf(SourceDir), TextOf(PackageName), i)) {
      return abandon(engine::PathTooLongMessage(TextOf(SourceDir)));
    }
    while (!FileExists(volumeName)) {
      char prompt[engine::kPromptTextSize];
      engine::BuildVolumePrompt(prompt, i);
      Form5 = new TForm5(this);
      Form5->Label1->SetCaption(prompt);
      const int answer = Form5->ShowModal();
      Form5->Release();
      if (answer == vcl::mrCancel) return abandon({});
    }

    auto volumeOpened = win32::Stream::Open(volumeName, "rb");
    if (!volumeOpened) return abandon(engine::VolumeReadMessage(volumeName, volumeOpened.error().reason));
    win32::Stream& volume = **volumeOpened;

    // The size is measured once, and fixes the number of blocks to copy.
    std::int64_t size = -1;
    if (volume.Seek(0, SEEK_END)) size = volume.Tell();
    if (size < 0 || !volume.Seek(0, SEEK_SET)) {
      return abandon(engine::VolumeReadMessage(volumeName, volume.error().reason));
    }
    std::int64_t remaining = size;
    for (std::int64_t block = (size + 4095) / 4096; block > 0; --block) {
      const std::size_t wanted = remaining < static_cast<std::int64_t>(kCopyBlockSize)
                                     ? static_cast<std::size_t>(remaining)
                                     : kCopyBlockSize;
      const std::size_t got = volume.Read(CopyBlock.data(), kCopyBlockSize);
      if (got != wanted) {
        // A volume that shrank or failed while being read would give the archiver a
        // corrupted archive.
        const std::string reason = volume.failed() ? volume.error().reason
                                                   : std::string("読み込み中にファイルが変わりました");
        return abandon(engine::VolumeReadMessage(volumeName, reason));
      }
      if (archive->Write(CopyBlock.data(), got) != got) {
        return abandon(engine::TemporaryArchiveMessage(TextOf(ArchivePath), archive->error().reason));
      }
      remaining -= static_cast<std::int64_t>(got);
    }
    volume.Close();
  }

  if (!archive->Close()) {
    const std::string reason = archive->error().reason;
    DeleteFileA(ArchivePath);
    ShowInstallError(engine::TemporaryArchiveMessage(TextOf(ArchivePath), reason));
    return false;
  }

  SetFocus();
  Form3->Hide();
  vcl::SetForegroundWindow(Handle());
  return true;
}
