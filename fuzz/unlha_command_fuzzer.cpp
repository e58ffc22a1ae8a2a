// The archiver's command text, parsed alone and then given to Unlha itself with
// an output buffer of any size (the buffer is allocated at that size exactly, so
// a summary written past it is caught). No archive exists where a command can
// point, so Unlha stops before extracting anything.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "support/fuzz_check.h"
#include "support/fuzz_home.h"
#include "unlha32/command.h"
#include "unlha32/unlha32.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeFuzzHome();
  fuzz_support::SilenceReports();
  return 0;
}

// Input: one byte of output size (0 means no buffer at all), then the command.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t outputSize = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  if (text.find('\0') != std::string::npos) return 0;

  unlha32::Command command;
  const int parsed = unlha32::ParseCommand(text.c_str(), command);
  FUZZ_CHECK(parsed == 0 || parsed == ERROR_COMMAND_NAME || parsed == ERROR_NOT_FILENAME);
  if (parsed == 0) {
    FUZZ_CHECK(!command.archive.empty() && !command.destination.empty());
    FUZZ_CHECK(command.archive.find('"') == std::string::npos);
    FUZZ_CHECK(command.destination.find('"') == std::string::npos);
  }

  std::unique_ptr<char[]> output;
  if (outputSize > 0) {
    output = std::make_unique<char[]>(outputSize);
    std::memset(output.get(), 0x7F, outputSize);
  }
  const int result = Unlha(nullptr, text.c_str(), output.get(), static_cast<DWORD>(outputSize));
  FUZZ_CHECK(result != 0 || parsed == 0);
  if (parsed != 0) FUZZ_CHECK(result == parsed);
  if (outputSize > 0) FUZZ_CHECK(std::memchr(output.get(), '\0', outputSize) != nullptr);
  return 0;
}
