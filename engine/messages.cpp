#include "engine/messages.h"

#include "win32/codepage.h"

namespace engine {
namespace {

// The system gives its reasons in UTF-8; anything it says that code page 932
// cannot hold is dropped to a "?" rather than losing the whole message.
std::string Reason(std::string_view utf8) {
  if (auto converted = win32::Utf8ToCp932(utf8)) return *converted;
  std::string ascii;
  for (char c : utf8) ascii.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
  return ascii;
}

}  // namespace

std::string SetupCaption() { return win32::Ansi("セットアップ"); }

std::string PathTooLongMessage(std::string_view path) {
  return win32::Ansi("パスが長すぎるため、インストールできません。\n\n") + std::string(path);
}

std::string InvalidDescriptionMessage(std::string_view detail) {
  return win32::Ansi("セットアップ情報ファイル Setup.dat が正しくありません: ") + std::string(detail) +
         win32::Ansi("\nインストールを中止します。");
}

std::string InvalidCountDetail(std::string_view countText) {
  return win32::Ansi("ディスクの枚数 ") + std::string(countText) + win32::Ansi(" は使えません。");
}

std::string InvalidNameDetail() {
  return win32::Ansi("パッケージ名に、フォルダ名に使えない文字があります。");
}

std::string TemporaryArchiveMessage(std::string_view archivePath, std::string_view reasonUtf8) {
  return win32::Ansi("一時ファイルに書き込めません。インストールを中止します。\n\n") +
         std::string(archivePath) + "\n" + Reason(reasonUtf8);
}

std::string VolumeReadMessage(std::string_view volumePath, std::string_view reasonUtf8) {
  return win32::Ansi("ディスクのファイルを読み込めません。インストールを中止します。\n\n") +
         std::string(volumePath) + "\n" + Reason(reasonUtf8);
}

std::string StartMenuMessage(std::string_view reasonCp932) {
  return win32::Ansi("スタートメニューに登録できませんでした。\n") + std::string(reasonCp932);
}

std::string ProgramMissingReason(std::string_view programPath) {
  return win32::Ansi("起動するプログラムが見つかりません: ") + std::string(programPath);
}

std::string GroupTextTooLongReason() {
  return win32::Ansi("登録する名前とパスが長すぎます。");
}

std::string GroupFileReason(std::string_view groupFilePath, std::string_view reasonUtf8) {
  return win32::Ansi("グループファイルを作成できません: ") + std::string(groupFilePath) + " (" +
         Reason(reasonUtf8) + ")";
}

std::string ConverterReason(std::string_view commandLine) {
  return win32::Ansi("グループ変換プログラムを起動できません: ") + std::string(commandLine);
}

}  // namespace engine
