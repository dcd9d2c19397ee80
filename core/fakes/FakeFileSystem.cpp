#include "core/fakes/FakeFileSystem.h"

#include <cstring>

#include "core/fakes/FoldName.h"
#include "text/CodePage932.h"

namespace velquin {
namespace {

constexpr uint64_t kTicksPerSecond = 10'000'000;
constexpr uint64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr uint64_t kLocalOffset = 9 * 3'600 * kTicksPerSecond;
constexpr int64_t kDaysFrom1601To1970 = 134'774;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146'097 + doe - 719'468;
}

int64_t YearFromDays(int64_t z) {
  z += 719'468;
  const int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const int64_t doe = z - era * 146'097;
  const int64_t yoe = (doe - doe / 1'460 + doe / 36'524 - doe / 146'096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  return yoe + era * 400 + (month <= 2);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsValidName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\"*:<>?|", c) != nullptr) {
      return false;
    }
  }
  return true;
}

bool HasWildcard(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = Cp932CharLength(text, pos);
    characters.push_back(text.substr(pos, length));
    pos += length;
  }
  return characters;
}

// "*" matches any run of characters, "?" exactly one; both texts already folded.
// (Windows adds a few older rules, such as "*.*" matching names without a dot.)
bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const std::vector<std::string_view> p = Characters(pattern);
  const std::vector<std::string_view> n = Characters(name);
  size_t pi = 0;
  size_t ni = 0;
  size_t starP = std::string_view::npos;
  size_t starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == "*") {
      starP = pi++;
      starN = ni;
    } else if (pi < p.size() && (p[pi] == "?" || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == "*") ++pi;
  return pi == p.size();
}

}  // namespace

uint64_t FileTimeFromUtc(int year, int month, int day, int hour, int minute, int second) {
  const int64_t days = DaysFromCivil(year, month, day) + kDaysFrom1601To1970;
  if (days < 0) return 0;
  return static_cast<uint64_t>(days) * kTicksPerDay +
         static_cast<uint64_t>(hour * 3'600 + minute * 60 + second) * kTicksPerSecond;
}

const uint64_t FakeFileSystem::kDefaultWriteTime = FileTimeFromUtc(2020, 4, 1, 12);

FakeFileSystem::FakeFileSystem() {
  drives_["C:"].name = "C:";
  current_ = {"C:"};
}

std::optional<FakeFileSystem::ResolvedPath> FakeFileSystem::Resolve(std::string_view path) const {
  if (path.empty() || path.find('\0') != std::string_view::npos) return std::nullopt;
  ResolvedPath resolved;
  std::string_view rest = path;
  const auto letter = static_cast<unsigned char>(path[0]);
  if (path.size() >= 2 && path[1] == ':' && ((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z')) {
    const std::string drive{static_cast<char>(letter & ~0x20), ':'};
    rest.remove_prefix(2);
    if (!rest.empty() && IsSeparator(rest[0])) {
      resolved.parts = {drive};
    } else {
      resolved.parts = drive == current_[0] ? current_ : std::vector<std::string>{drive};
    }
  } else if (IsSeparator(path[0])) {
    if (path.size() > 1 && IsSeparator(path[1])) return std::nullopt;  // no network names
    resolved.parts = {current_[0]};
  } else {
    resolved.parts = current_;
  }

  // Components, split at separators that are characters of their own (a trail byte
  // of 0x5C is not one); empty components collapse, "." and ".." are resolved.
  std::string component;
  auto flush = [&resolved, &component] {
    if (component == "..") {
      if (resolved.parts.size() > 1) resolved.parts.pop_back();
    } else if (!component.empty() && component != ".") {
      resolved.parts.push_back(component);
    }
    component.clear();
  };
  for (size_t pos = 0; pos < rest.size();) {
    const size_t length = Cp932CharLength(rest, pos);
    if (length == 1 && IsSeparator(rest[pos])) {
      flush();
    } else {
      component.append(rest.substr(pos, length));
    }
    pos += length;
  }
  resolved.trailingSeparator = !rest.empty() && component.empty() && IsSeparator(rest.back());
  flush();
  return resolved;
}

FakeFileSystem::Node* FakeFileSystem::Walk(const std::vector<std::string>& parts, size_t count) {
  auto drive = drives_.find(parts[0]);
  if (drive == drives_.end()) return nullptr;
  Node* node = &drive->second;
  for (size_t i = 1; i < count; ++i) {
    if (!node->isDirectory) return nullptr;
    auto child = node->children.find(FoldName(parts[i]));
    if (child == node->children.end()) return nullptr;
    node = &child->second;
  }
  return node;
}

bool FakeFileSystem::Add(std::string_view path, bool isDirectory, uint64_t lastWriteTime) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved || resolved->parts.size() < 2) return false;
  for (size_t i = 1; i < resolved->parts.size(); ++i) {
    if (!IsValidName(resolved->parts[i])) return false;
  }
  Node* node = &drives_[resolved->parts[0]];
  node->name = resolved->parts[0];
  for (size_t i = 1; i < resolved->parts.size(); ++i) {
    if (!node->isDirectory) return false;  // a file in the way
    Node& child = node->children[FoldName(resolved->parts[i])];
    if (child.name.empty()) child.name = resolved->parts[i];
    node = &child;
  }
  node->isDirectory = isDirectory;
  node->lastWriteTime = lastWriteTime;
  if (!isDirectory) node->children.clear();
  return true;
}

bool FakeFileSystem::AddFile(std::string_view path, uint64_t lastWriteTime) {
  return Add(path, false, lastWriteTime);
}

bool FakeFileSystem::AddDirectory(std::string_view path, uint64_t lastWriteTime) {
  return Add(path, true, lastWriteTime);
}

bool FakeFileSystem::Remove(std::string_view path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved || resolved->parts.size() < 2) return false;
  Node* parent = Walk(resolved->parts, resolved->parts.size() - 1);
  if (!parent || !parent->isDirectory) return false;
  return parent->children.erase(FoldName(resolved->parts.back())) > 0;
}

bool FakeFileSystem::SetCurrentDirectory(std::string_view path) {
  const std::optional<ResolvedPath> resolved = Resolve(path);
  if (!resolved) return false;
  if (resolved->parts.size() > 1) {
    Node* node = Walk(resolved->parts, resolved->parts.size());
    if (node && !node->isDirectory) return false;
    if (!node && !AddDirectory(path)) return false;
  } else {
    drives_[resolved->parts[0]].name = resolved->parts[0];
  }
  current_ = resolved->parts;
  return true;
}

std::optional<DirEntry> FakeFileSystem::FindFirstEntry(std::string_view pattern) {
  const std::optional<ResolvedPath> resolved = Resolve(pattern);
  // A root, or a name ending in a separator, is no entry a search can return.
  if (!resolved || resolved->trailingSeparator || resolved->parts.size() < 2) return std::nullopt;
  const std::vector<std::string>& parts = resolved->parts;
  Node* parent = Walk(parts, parts.size() - 1);
  if (!parent || !parent->isDirectory) return std::nullopt;
  const std::string last = FoldName(parts.back());

  if (!HasWildcard(last)) {
    auto child = parent->children.find(last);
    if (child == parent->children.end()) return std::nullopt;
    return DirEntry{child->second.isDirectory, child->second.lastWriteTime};
  }
  if (parts.size() > 2) {
    for (const char* dots : {".", ".."}) {
      if (WildcardMatch(last, dots)) return DirEntry{true, parent->lastWriteTime};
    }
  }
  for (const auto& [folded, child] : parent->children) {
    if (WildcardMatch(last, folded)) return DirEntry{child.isDirectory, child.lastWriteTime};
  }
  return std::nullopt;
}

std::optional<int> FakeFileSystem::LocalDosYear(uint64_t fileTime) {
  constexpr uint64_t kMaxFileTime = INT64_MAX;
  if (fileTime > kMaxFileTime - kLocalOffset) return std::nullopt;
  const int64_t year = YearFromDays(static_cast<int64_t>((fileTime + kLocalOffset) / kTicksPerDay) -
                                    kDaysFrom1601To1970);
  if (year < 1980 || year > 2107) return std::nullopt;
  return static_cast<int>(year);
}

}  // namespace velquin
