#include "core/fakes/FakeRegistry.h"

#include "core/fakes/FoldName.h"
#include "text/CodePage932.h"

namespace velquin {
namespace {

std::string DwordBytes(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  std::string data;
  for (int i = 0; i < 4; ++i) data += static_cast<char>((bits >> (8 * i)) & 0xFF);
  return data;
}

// A string value's text. The fake keeps string data as code page 932 bytes; a lead
// byte without its trail byte stands for a stored text that code page 932 cannot
// hold, such as "caf\xE9" for an e with an acute accent.
std::optional<std::string> TextOf(const FakeRegValue& value) {
  if (value.type != kRegSz && value.type != kRegExpandSz) return std::nullopt;
  std::string text = value.data.substr(0, value.data.find('\0'));
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(byte)) {
      const auto trail = i + 1 < text.size() ? static_cast<unsigned char>(text[++i]) : 0;
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return std::nullopt;
    }
  }
  return text;
}

}  // namespace

class FakeRegistry::Key final : public RegistryKey {
 public:
  Key(FakeRegistry& registry, std::string path) : registry_(registry), path_(std::move(path)) {
    ++registry_.openKeys_;
  }
  ~Key() override {
    --registry_.openKeys_;
    registry_.journal_.push_back("Close");
  }

  RegQuery Query(std::string_view name) override {
    registry_.journal_.push_back("Query " + std::string(name));
    const Values* values = registry_.FindKey(path_);
    if (!values || registry_.failQuery_.count(FoldName(name))) return RegQuery{RegStatus::Failed, kRegNone, {}, {}, 0};
    auto it = values->find(FoldName(name));
    if (it == values->end()) return RegQuery{RegStatus::NotFound, kRegNone, {}, {}, 0};
    const FakeRegValue& value = it->second.value;
    return RegQuery{RegStatus::Ok, value.type, value.data, TextOf(value), value.data.size()};
  }

  bool SetDword(std::string_view name, int32_t value) override {
    registry_.journal_.push_back("SetDword " + std::string(name) + "=" + std::to_string(value));
    return registry_.Write(path_, name, FakeRegValue{kRegDword, DwordBytes(value)});
  }

  bool SetString(std::string_view name, std::string_view text) override {
    registry_.journal_.push_back("SetString " + std::string(name) + "=" + std::string(text));
    std::string data(text);
    data += '\0';
    FakeRegValue value{kRegSz, std::move(data)};
    // Like the system's: text that is not code page 932 is refused, not stored changed.
    if (TextOf(value) != text) return false;
    return registry_.Write(path_, name, std::move(value));
  }

  bool SetValue(std::string_view name, uint32_t type, std::string_view data) override {
    registry_.journal_.push_back("SetValue " + std::string(name) + " type " + std::to_string(type) + ", " +
                                 std::to_string(data.size()) + " bytes");
    return registry_.Write(path_, name, FakeRegValue{type, std::string(data)});
  }

  void DeleteValue(std::string_view name) override {
    registry_.journal_.push_back("DeleteValue " + std::string(name));
    if (Values* values = registry_.FindKey(path_)) values->erase(FoldName(name));
  }

  std::optional<std::vector<std::string>> ValueNames() override {
    registry_.journal_.push_back("ValueNames");
    if (registry_.failValueNames_ || !registry_.FindKey(path_)) return std::nullopt;
    return registry_.Names(path_);
  }

 private:
  FakeRegistry& registry_;
  std::string path_;
};

std::unique_ptr<RegistryKey> FakeRegistry::CreateKey(std::string_view path) {
  if (failCreateKey_ || path.empty() || path[0] == '\\') return nullptr;
  keys_[FoldName(path)];
  return std::make_unique<Key>(*this, std::string(path));
}

FakeRegistry::Values* FakeRegistry::FindKey(std::string_view path) {
  auto it = keys_.find(FoldName(path));
  return it == keys_.end() ? nullptr : &it->second;
}

const FakeRegistry::Values* FakeRegistry::FindKey(std::string_view path) const {
  auto it = keys_.find(FoldName(path));
  return it == keys_.end() ? nullptr : &it->second;
}

bool FakeRegistry::Write(std::string_view path, std::string_view name, FakeRegValue value) {
  ++writes_;
  Values* values = FindKey(path);
  if (!values || writes_ == failWriteNumber_ || failWrite_.count(FoldName(name))) return false;
  NamedValue& slot = (*values)[FoldName(name)];
  if (slot.name.empty()) slot.name = std::string(name);
  slot.value = std::move(value);
  return true;
}

void FakeRegistry::Put(std::string_view path, std::string_view name, uint32_t type,
                       std::string data) {
  NamedValue& slot = keys_[FoldName(path)][FoldName(name)];
  if (slot.name.empty()) slot.name = std::string(name);
  slot.value = FakeRegValue{type, std::move(data)};
}

void FakeRegistry::PutDword(std::string_view path, std::string_view name, int32_t value) {
  Put(path, name, kRegDword, DwordBytes(value));
}

void FakeRegistry::PutString(std::string_view path, std::string_view name, std::string_view text) {
  std::string data(text);
  data += '\0';
  Put(path, name, kRegSz, std::move(data));
}

void FakeRegistry::Erase(std::string_view path, std::string_view name) {
  if (Values* values = FindKey(path)) values->erase(FoldName(name));
}

void FakeRegistry::EraseKey(std::string_view path) { keys_.erase(FoldName(path)); }

bool FakeRegistry::HasKey(std::string_view path) const { return FindKey(path) != nullptr; }

std::optional<FakeRegValue> FakeRegistry::Get(std::string_view path, std::string_view name) const {
  const Values* values = FindKey(path);
  if (!values) return std::nullopt;
  auto it = values->find(FoldName(name));
  if (it == values->end()) return std::nullopt;
  return it->second.value;
}

std::optional<int32_t> FakeRegistry::GetDword(std::string_view path, std::string_view name) const {
  const std::optional<FakeRegValue> value = Get(path, name);
  if (!value || value->type != kRegDword || value->data.size() != 4) return std::nullopt;
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(value->data[i])) << (8 * i);
  }
  return static_cast<int32_t>(bits);
}

std::optional<std::string> FakeRegistry::GetString(std::string_view path,
                                                   std::string_view name) const {
  const std::optional<FakeRegValue> value = Get(path, name);
  if (!value || value->type != kRegSz) return std::nullopt;
  return value->data.substr(0, value->data.find('\0'));
}

std::vector<std::string> FakeRegistry::Names(std::string_view path) const {
  std::vector<std::string> names;
  if (const Values* values = FindKey(path)) {
    for (const auto& [folded, value] : *values) names.push_back(value.name);
  }
  return names;
}

void FakeRegistry::FailQuery(std::string_view name) { failQuery_.insert(FoldName(name)); }

void FakeRegistry::FailWrite(std::string_view name) { failWrite_.insert(FoldName(name)); }

void FakeRegistry::ClearFailures() {
  failCreateKey_ = false;
  failQuery_.clear();
  failWrite_.clear();
  failWriteNumber_ = 0;
  failValueNames_ = false;
}

}  // namespace velquin
