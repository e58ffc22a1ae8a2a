#include "engine/stage_texts.h"

#include <cstdio>
#include <string>

#include "engine/append_path.h"
#include "engine/text_buffer.h"
#include "win32/codepage.h"

namespace engine {
namespace {

// Copies base into out and joins component onto it.
bool Join(std::span<char> out, std::string_view base, const std::string& component) {
  return CopyText(out, base) && AppendPath(out, component.c_str());
}

}  // namespace

bool BuildVolumeName(std::span<char> out, std::string_view sourceDir,
                     std::string_view packageName, std::int32_t number) {
  char extension[16];
  std::snprintf(extension, sizeof extension, ".%03d", static_cast<int>(number));
  return Join(out, sourceDir, std::string(packageName)) && AppendText(out, extension);
}

bool BuildTemporaryArchivePath(std::span<char> out, std::string_view tempDir) {
  return Join(out, tempDir, "TAVOTEMP.LZH");
}

bool BuildSingleArchivePath(std::span<char> out, std::string_view sourceDir,
                            std::string_view packageName) {
  return Join(out, sourceDir, std::string(packageName)) && AppendText(out, ".LZH");
}

bool BuildDestinationArgument(std::span<char> out, std::string_view targetDir) {
  return CopyText(out, targetDir) && AppendPath(out, "");
}

bool BuildCommandText(std::span<char> out, std::string_view archivePath,
                      std::string_view destination) {
  std::string text = "x \"";
  text.append(archivePath).append("\" \"").append(destination).append("\"");
  return CopyText(out, text);
}

bool BuildVolumePrompt(std::span<char> out, std::int32_t number) {
  static const std::string format = win32::Ansi("%d 枚目のディスクをセットしてください");
  const std::size_t at = format.find("%d");
  std::string text = format.substr(0, at) + std::to_string(number) + format.substr(at + 2);
  return CopyText(out, text);
}

int BuildGroupFileText(std::span<char> out, std::string_view groupName,
                       std::string_view packageName, std::string_view shortProgramPath,
                       std::string_view targetDir) {
  std::string text = "[progman.groups]\r\ngroupX=";
  text.append(groupName).append("\r\n[groupX]\r\n\"");
  text.append(packageName).append("\",\"").append(shortProgramPath).append("\",,,,\"");
  text.append(targetDir).append("\"\r\n");
  if (!CopyText(out, text)) return -1;
  return static_cast<int>(text.size());
}

}  // namespace engine
