// This test program has no version resource.
#include <gtest/gtest.h>

#include "library/HAboutForm_VersionFormat.h"
#include "library/HLVGeneralRoutines.h"

namespace velquin {
namespace {

TEST(ProgramWithoutVersion, ReadsEmptyTextAndCannotBuildAVersion) {
  for (int key = 0; key < 12; ++key) EXPECT_EQ(ReadOwnVersionInfoString(key), "") << key;
  try {
    BuildVersionString(kDefaultVersionFormat);
    ADD_FAILURE() << "no failure";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'' は整数ではありません");
  }
}

}  // namespace
}  // namespace velquin
