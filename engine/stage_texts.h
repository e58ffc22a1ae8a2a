// The texts and names the installation stages build, as pure functions on the
// installer's fixed buffers. Each returns false, leaving its output unspecified but
// terminated, when the result would not fit its buffer.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace engine {

inline constexpr std::size_t kPathBufferSize = 260;
inline constexpr std::size_t kDestinationArgumentSize = 256;
inline constexpr std::size_t kCommandTextSize = 512;
inline constexpr std::size_t kGroupTextSize = 512;
inline constexpr std::size_t kPromptTextSize = 256;

// SourceDir, "\" unless it ends with a separator, PackageName, then "." and the
// number with at least three digits (".001" ... ".999", ".1000" ...).
bool BuildVolumeName(std::span<char> out, std::string_view sourceDir,
                     std::string_view packageName, std::int32_t number);

// The temporary folder joined with "TAVOTEMP.LZH".
bool BuildTemporaryArchivePath(std::span<char> out, std::string_view tempDir);

// SourceDir joined with PackageName, then ".LZH" directly behind the name.
bool BuildSingleArchivePath(std::span<char> out, std::string_view sourceDir,
                            std::string_view packageName);

// TargetDir ending with a separator (an empty TargetDir stays empty).
bool BuildDestinationArgument(std::span<char> out, std::string_view targetDir);

// x "<archive>" "<destination>"
bool BuildCommandText(std::span<char> out, std::string_view archivePath,
                      std::string_view destination);

// "%d 枚目のディスクをセットしてください" with the volume number.
bool BuildVolumePrompt(std::span<char> out, std::int32_t number);

// The group file's exact text, without a terminating NUL in the count: returns the
// length, or -1 when it would not fit out (with its NUL).
int BuildGroupFileText(std::span<char> out, std::string_view groupName,
                       std::string_view packageName, std::string_view shortProgramPath,
                       std::string_view targetDir);

}  // namespace engine
