// Registering the Start-menu group through the group converter: member code of TForm1.
#include "engine/append_path.h"
#include "engine/messages.h"
#include "engine/stage_texts.h"
#include "engine/text_buffer.h"
#include "forms/Unit1.h"
#include "win32/codepage.h"
#include "win32/kernel.h"

using engine::TextOf;

void TForm1::RegisterStartMenuGroup() {
  // The user asked for the entry; each way it can fail is said once, and the
  // installation still completes.
  const auto fail = [this](const std::string& reason) {
    ShowInstallError(engine::StartMenuMessage(reason));
  };

  const std::string groupName = win32::Ansi("ﾀｳﾞｫﾘﾝ\\ｹﾞｰﾑ");

  char groupFile[MAX_PATH];
  const UINT windowsLength = GetWindowsDirectoryA(groupFile, sizeof groupFile);
  if (windowsLength == 0 || windowsLength >= sizeof groupFile || !engine::AppendPath(groupFile, "SETUP.INI")) {
    return fail(engine::GroupFileReason("SETUP.INI", "Windows フォルダのパスが長すぎます"));
  }

  char text[engine::kGroupTextSize];
  if (!engine::CopyText(text, TextOf(TargetDir)) || !engine::AppendPath(text, "TAVOEXEC.EXE")) {
    return fail(engine::GroupTextTooLongReason());
  }
  char shortPath[MAX_PATH];
  const DWORD shortLength = GetShortPathNameA(text, shortPath, sizeof shortPath);
  if (shortLength == 0 || shortLength >= sizeof shortPath) {
    // Without the program there is nothing the entry could start.
    return fail(engine::ProgramMissingReason(TextOf(text)));
  }

  const int length = engine::BuildGroupFileText(text, groupName, TextOf(PackageName),
                                                TextOf(shortPath), TextOf(TargetDir));
  if (length < 0) return fail(engine::GroupTextTooLongReason());

  const HFILE file = _lcreat(groupFile, 0);
  if (file == HFILE_ERROR) {
    return fail(engine::GroupFileReason(groupFile, "ファイルを作成できません"));
  }
  const UINT written = _lwrite(file, text, static_cast<UINT>(length));
  const bool closed = _lclose(file) == 0;
  if (written != static_cast<UINT>(length) || !closed) {
    // A partial group file would make the converter register something else.
    DeleteFileA(groupFile);
    return fail(engine::GroupFileReason(groupFile, "ファイルを最後まで書き込めません"));
  }

  if (WinExec("grpconv -o", SW_HIDE) <= 31) fail(engine::ConverterReason("grpconv -o"));
}
