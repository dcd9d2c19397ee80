#pragma once
// The task line: a file name, optionally in double quotes, then optional
// parameters. ParseTaskLine finds the existing file at the start of a line.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports/FileSystem.h"

namespace velquin {

// Put in front of a loaded line whose file cannot be found; memory only.
inline constexpr std::string_view kMissingFileMarker = "* ";

struct TaskWord {
  std::string text;
  size_t end = 0;  // index in the line just past the last byte the word was read from
};

// Cuts a line into words: blanks and commas separate, double quotes group.
std::vector<TaskWord> SplitTaskWords(std::string_view text);

// Does `name` denote an existing file (not a directory, with a last-write time that
// converts to a local MS-DOS date of 1980..2107)? One directory search.
bool TaskFileExists(FileSystem& fileSystem, std::string_view name);

// True when `Line` starts with an existing file. Then `FileName` is that name in
// double quotes and `Params` the trimmed rest of the line after it. After false the
// outputs hold nothing of use.
bool ParseTaskLine(FileSystem& fileSystem, std::string_view Line, std::string& FileName,
                   std::string& Params);

}  // namespace velquin
