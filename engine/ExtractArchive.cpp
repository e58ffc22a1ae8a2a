// Handing the archive to the archiver: member code of TForm1.
#include "engine/messages.h"
#include "engine/stage_texts.h"
#include "engine/text_buffer.h"
#include "forms/Unit1.h"
#include "unlha32/unlha32.h"
#include "win32/kernel.h"

using engine::TextOf;

bool TForm1::ExtractArchive() {
  if (VolumeCount == 0 &&
      !engine::BuildSingleArchivePath(ArchivePath, TextOf(SourceDir), TextOf(PackageName))) {
    ShowInstallError(engine::PathTooLongMessage(TextOf(SourceDir)));
    return false;
  }
  const bool temporary = VolumeCount > 0;
  const auto finish = [&](bool extracted) {
    // The joined archive is ours: it goes whatever the outcome. The single archive
    // on the medium is never touched.
    if (temporary) DeleteFileA(ArchivePath);
    return extracted;
  };

  char destination[engine::kDestinationArgumentSize];
  char command[engine::kCommandTextSize];
  if (!engine::BuildDestinationArgument(destination, TextOf(TargetDir)) ||
      !engine::BuildCommandText(command, TextOf(ArchivePath), TextOf(destination))) {
    ShowInstallError(engine::PathTooLongMessage(TextOf(TargetDir)));
    return finish(false);
  }

  // The archiver shows its own progress and reports its own failures.
  return finish(Unlha(Handle(), command, nullptr, 0) == 0);
}
