#include "core/tasks/TaskLine.h"

#include "text/CodePage932.h"
#include "library/HLVTextRoutines.h"

namespace velquin {
namespace {

// Blanks of the word split: the control characters and the space (NUL is not one).
bool IsBlankByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 1 && b <= 0x20;
}

// What trimming removes: the blanks and NUL.
bool IsTrimmable(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// No Windows path is longer than 32,767 UTF-16 units, and a code page 932 character
// takes at most two bytes: a longer name cannot denote a file.
constexpr size_t kMaxNameBytes = 2 * 32767;

size_t SkipBlanks(std::string_view text, size_t pos) {
  while (pos < text.size() && IsBlankByte(text[pos])) ++pos;
  return pos;
}

// Reads the quoted word whose opening quote is at `pos`; pairs of quotes inside
// stand for one. Without a closing quote the word is the rest less its last
// character, and it ends at the end of the text.
TaskWord ReadQuotedWord(std::string_view text, size_t pos) {
  TaskWord word;
  size_t lastCharLength = 0;
  ++pos;
  while (pos < text.size()) {
    if (text[pos] == '"') {
      if (pos + 1 < text.size() && text[pos + 1] == '"') {
        word.text += '"';
        lastCharLength = 1;
        pos += 2;
        continue;
      }
      word.end = pos + 1;
      return word;
    }
    const size_t length = Cp932CharLength(text, pos);
    word.text.append(text.substr(pos, length));
    lastCharLength = length;
    pos += length;
  }
  word.text.resize(word.text.size() - lastCharLength);
  word.end = text.size();
  return word;
}

TaskWord ReadPlainWord(std::string_view text, size_t pos) {
  const size_t start = pos;
  while (pos < text.size() && !IsBlankByte(text[pos]) && text[pos] != ',') {
    pos += Cp932CharLength(text, pos);
  }
  if (pos > text.size()) pos = text.size();
  return TaskWord{std::string(text.substr(start, pos - start)), pos};
}

// The name a candidate denotes: at most one double quote removed at each end.
std::string_view CandidateName(std::string_view candidate) {
  if (!candidate.empty() && candidate.front() == '"') candidate.remove_prefix(1);
  if (!candidate.empty() && candidate.back() == '"') candidate.remove_suffix(1);
  return candidate;
}

// Tries `candidate` as the file at the start of `line`; the parameters are what
// follows `stretchEnd`, the index just past the last byte the candidate was read from.
bool TryCandidate(FileSystem& fileSystem, std::string_view line, std::string_view candidate,
                  size_t stretchEnd, std::string& fileName, std::string& params) {
  const std::string_view name = CandidateName(candidate);
  if (name.empty() || !TaskFileExists(fileSystem, name)) return false;
  fileName.assign(1, '"').append(name).append(1, '"');
  if (candidate == line || stretchEnd >= line.size()) {
    params.clear();
  } else {
    params = Trim(line.substr(stretchEnd));
  }
  return true;
}

}  // namespace

std::vector<TaskWord> SplitTaskWords(std::string_view text) {
  std::vector<TaskWord> words;
  size_t pos = SkipBlanks(text, 0);
  while (pos < text.size()) {
    TaskWord word = text[pos] == '"' ? ReadQuotedWord(text, pos) : ReadPlainWord(text, pos);
    pos = SkipBlanks(text, word.end);
    words.push_back(std::move(word));
    if (pos < text.size() && text[pos] == ',') {
      if (pos + 1 == text.size()) words.push_back(TaskWord{std::string(), text.size()});
      pos = SkipBlanks(text, pos + 1);
    }
  }
  return words;
}

bool TaskFileExists(FileSystem& fileSystem, std::string_view name) {
  // A NUL would cut the name short on its way to the system, so no file has one.
  if (name.empty() || name.size() > kMaxNameBytes || name.find('\0') != std::string_view::npos) {
    return false;
  }
  const std::optional<DirEntry> entry = fileSystem.FindFirstEntry(name);
  if (!entry || entry->isDirectory) return false;
  // The range is checked here as well: some conversions wrap instead of failing.
  const std::optional<int> year = fileSystem.LocalDosYear(entry->lastWriteTime);
  return year && *year >= 1980 && *year <= 2107;
}

bool ParseTaskLine(FileSystem& fileSystem, std::string_view Line, std::string& FileName,
                   std::string& Params) {
  if (!Line.empty() && Line.front() == '"') {
    const size_t close = Line.find('"', 1);
    if (close == std::string_view::npos) return false;
    return TryCandidate(fileSystem, Line, Line.substr(0, close + 1), close + 1, FileName, Params);
  }

  // Each candidate is the words so far joined by single spaces, trimmed: a view into
  // the accumulator, which only grows, so the candidates never get shorter.
  std::string accumulator;
  size_t candidateStart = 0;
  for (const TaskWord& word : SplitTaskWords(Line)) {
    const size_t segment = accumulator.size();
    accumulator += ' ';
    accumulator += word.text;
    size_t candidateEnd = accumulator.size();
    while (candidateEnd > segment && IsTrimmable(accumulator[candidateEnd - 1])) --candidateEnd;
    // A word of blanks leaves the candidate as it was: empty, or tried a moment ago.
    if (candidateEnd == segment) continue;
    while (IsTrimmable(accumulator[candidateStart])) ++candidateStart;
    const std::string_view candidate =
        std::string_view(accumulator).substr(candidateStart, candidateEnd - candidateStart);
    // Every later candidate is at least as long: none can name a file.
    if (candidate.size() > kMaxNameBytes + 2) return false;
    if (TryCandidate(fileSystem, Line, candidate, word.end, FileName, Params)) return true;
  }
  return false;
}

}  // namespace velquin
