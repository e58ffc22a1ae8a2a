// "Setup.dat" from the medium: any bytes, read both from memory and from a file
// in text mode through the Windows-path layer.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/setup_description.h"
#include "support/fuzz_check.h"
#include "support/fuzz_home.h"

namespace {

void CheckDescription(const engine::SetupDescription& description) {
  FUZZ_CHECK(description.PackageName.size() <= engine::kPackageNameLimit);
  FUZZ_CHECK(description.PackageName.find('\0') == std::string::npos);
  FUZZ_CHECK(description.PackageName.find('\n') == std::string::npos);
  if (description.CountOutOfRange) {
    FUZZ_CHECK(description.VolumeCount == std::numeric_limits<std::int32_t>::min());
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_support::MakeFuzzHome();
  fuzz_support::SilenceReports();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckDescription(engine::ParseSetupDescription(bytes));

  // The current folder is C:\WORK; the installer reads the bare name.
  if (!fuzz_support::WriteHostBytes("Setup.dat", bytes)) return 0;
  const engine::SetupDescription fromFile = engine::ReadSetupDescription("Setup.dat");
  CheckDescription(fromFile);
  // Text mode only ever removes bytes, so a name read from the file is never
  // longer than the data, nor a name where the data had none.
  FUZZ_CHECK(fromFile.PackageName.size() <= size);
  return 0;
}
