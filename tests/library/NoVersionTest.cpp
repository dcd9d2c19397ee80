// This test program has no version resource.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "library/HAboutForm_VersionFormat.h"
#include "library/HLVGeneralRoutines.h"

namespace velquin {
namespace {

TEST(ProgramWithoutVersion, ReadsEmptyTextAndCannotBuildAVersion) {
  for (int key = 0; key < 12; ++key) EXPECT_EQ(ReadOwnVersionInfoString(key), "") << key;
  EXPECT_THAT([] { BuildVersionString(kDefaultVersionFormat); },
              ::testing::ThrowsMessage<EConvertError>("'' は整数ではありません"));
}

}  // namespace
}  // namespace velquin
