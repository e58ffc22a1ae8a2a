// The installer's own messages for the failures it reports instead of passing over
// them silently. Each returns CP932 text; paths and reasons are put in as given
// (paths in CP932, reasons in UTF-8 from the system, converted here).
#pragma once

#include <string>
#include <string_view>

namespace engine {

// The caption of every window and message box of the installer.
std::string SetupCaption();

// A path (or the start of one) that does not fit its buffer.
std::string PathTooLongMessage(std::string_view path);

// The setup description cannot be used; detail (CP932) says what is wrong.
std::string InvalidDescriptionMessage(std::string_view detail);
std::string InvalidCountDetail(std::string_view countText);
std::string InvalidNameDetail();

// The temporary archive cannot be made, written or closed.
std::string TemporaryArchiveMessage(std::string_view archivePath, std::string_view reasonUtf8);

// A volume exists but cannot be opened, measured or read.
std::string VolumeReadMessage(std::string_view volumePath, std::string_view reasonUtf8);

// The Start-menu entry could not be made; the installation itself completed.
std::string StartMenuMessage(std::string_view reasonCp932);

// Reasons for StartMenuMessage.
std::string ProgramMissingReason(std::string_view programPath);
std::string GroupTextTooLongReason();
std::string GroupFileReason(std::string_view groupFilePath, std::string_view reasonUtf8);
std::string ConverterReason(std::string_view commandLine);

}  // namespace engine
