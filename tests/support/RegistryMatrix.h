#pragma once
// The value types and data sizes every reader of registry data is tried with: the
// adapter's own test reads each back raw, the reliability runs give each to the
// program in place of each stored value.
#include <windows.h>

#include <cstddef>

namespace velquin::test {

inline constexpr DWORD kMatrixTypes[] = {REG_SZ,    REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY,
                                         REG_DWORD, REG_QWORD,     REG_NONE};
inline constexpr size_t kMatrixSizes[] = {0, 1, 3, 4, 5, 64 * 1024, 1024 * 1024};

}  // namespace velquin::test
