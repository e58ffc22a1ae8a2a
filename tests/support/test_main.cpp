// The main of every test executable: the temporary home first, then the tests.
#include <gtest/gtest.h>

#include "support/temp_home.h"

int main(int argc, char** argv) {
  testing_support::InitTempRoot();
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  testing_support::RemoveTempRoot();
  return result;
}
