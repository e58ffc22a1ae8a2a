// The main of every test executable: the temporary home first, then the tests.
#include <gtest/gtest.h>

namespace testing_support {
void InitTempRoot();
void RemoveTempRoot();
}  // namespace testing_support

int main(int argc, char** argv) {
  testing_support::InitTempRoot();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  testing_support::RemoveTempRoot();
  return result;
}
