#pragma once
// The texts the task store reports, as the tests expect them: one place for the
// unit tests, the window tests and the reliability runs.
#include <string>

namespace velquin::test {

inline std::string ReadFailed(const std::string& name) { return "'" + name + "' の取得に失敗しました"; }
inline std::string WrongType(const std::string& name) { return "'" + name + "' のデータ型が不正です"; }
inline std::string WriteFailed(const std::string& name) { return "'" + name + "' の設定に失敗しました"; }
// As the default error box shows a report: with the full stop it adds.
inline std::string AsShown(const std::string& message) { return message + "."; }

}  // namespace velquin::test
