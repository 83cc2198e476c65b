#include "framework/Registry.h"

#include "framework/File.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>

namespace app {

RegistryMedium::~RegistryMedium() = default;

struct RegistryMember {
  std::unique_ptr<RegistryMedium> Medium; // made by Open unless given at construction
  bool Loading = false;
  bool IgnoreStored = false;
  bool UseRegistry = false;
};

Registry::Registry() : Member(new RegistryMember) {}

Registry::Registry(std::unique_ptr<RegistryMedium> medium) : Registry() {
  Member->Medium = std::move(medium);
}

Registry::~Registry() = default;

void Registry::UseRegistryMedium() { Member->UseRegistry = true; }

void Registry::ReadStorageSwitch(const char *switchFileName) {
  try {
    File file;
    if (file.OpenForReading(switchFileName) != 0)
      return;
    uint8_t first = file.ReadByte();
    if (first == 'y' || first == 'Y')
      UseRegistryMedium();
  } catch (const std::exception &) {
    // An empty or unreadable switch file leaves the initialisation file.
  }
}

void Registry::Open(bool loading) {
  Member->Loading = loading;
  if (Member->Medium == nullptr)
    Member->Medium = MakeRegistryMedium(Member->UseRegistry);
  Member->Medium->Open(loading);
}

void Registry::Begin(bool loading) {
  Open(loading);
  SelectSection(nullptr);
  int32_t version = RegistryVersion;
  ExchangeInt("RegistryVersion", version, 0);
  if (loading && version != RegistryVersion)
    IgnoreStoredValues();
}

void Registry::IgnoreStoredValues() { Member->IgnoreStored = true; }

void Registry::SelectSection(const char *name) {
  if (Member->Medium != nullptr)
    Member->Medium->SelectSection(name);
}

bool Registry::IsLoading() const { return Member->Loading; }

void Registry::ExchangeInt(const char *name, int32_t &value, int32_t defaultValue) {
  if (Member->Loading) {
    if (Member->IgnoreStored || Member->Medium == nullptr)
      value = defaultValue;
    else
      value = Member->Medium->ReadInt(name, defaultValue);
  } else if (Member->Medium != nullptr) {
    Member->Medium->WriteInt(name, value);
  }
}

void Registry::ExchangeBool(const char *name, bool &value, bool defaultValue) {
  int32_t stored = value ? 1 : 0;
  ExchangeInt(name, stored, defaultValue ? 1 : 0);
  if (Member->Loading)
    value = stored != 0;
}

void Registry::ExchangeByte(const char *name, uint8_t &value, uint8_t defaultValue) {
  int32_t stored = value;
  ExchangeInt(name, stored, defaultValue);
  if (Member->Loading)
    value = static_cast<uint8_t>(stored & 0xff);
}

void Registry::ExchangeDouble(const char *name, double &value, double defaultValue) {
  if (Member->Loading && Member->IgnoreStored) {
    value = defaultValue;
    return;
  }
  String text;
  if (!Member->Loading) {
    text.Format("%g", value);
    ExchangeString(name, text, text.GetText());
    return;
  }
  String defaultText;
  defaultText.Format("%g", defaultValue);
  ExchangeString(name, text, defaultText.GetText());
  // Text that is not a number reads as 0; an infinity or NaN in the store would slip through
  // every range test of the groups, so it gives the default instead.
  double loaded = std::strtod(text.GetText(), nullptr);
  value = std::isfinite(loaded) ? loaded : defaultValue;
}

void Registry::ExchangeString(const char *name, String &value, const char *defaultText) {
  if (Member->Loading) {
    // The default may be the variable's own text: keep a copy while the variable changes.
    String fallback(defaultText != nullptr ? defaultText : "");
    if (Member->IgnoreStored || Member->Medium == nullptr)
      value.Assign(fallback);
    else
      Member->Medium->ReadString(name, value, fallback.GetText());
  } else if (Member->Medium != nullptr) {
    Member->Medium->WriteString(name, value.GetText());
  }
}

void Registry::ExchangeRect(const char *name, RECT32 &value, const RECT32 &defaultValue) {
  std::string base(name != nullptr ? name : "");
  ExchangeInt((base + "Left").c_str(), value.left, defaultValue.left);
  ExchangeInt((base + "Top").c_str(), value.top, defaultValue.top);
  ExchangeInt((base + "Right").c_str(), value.right, defaultValue.right);
  ExchangeInt((base + "Bottom").c_str(), value.bottom, defaultValue.bottom);
}

void Registry::ExchangePoint(const char *name, DPOINT &value, const DPOINT &defaultValue) {
  std::string base(name != nullptr ? name : "");
  ExchangeDouble((base + "X").c_str(), value.x, defaultValue.x);
  ExchangeDouble((base + "Y").c_str(), value.y, defaultValue.y);
}

int32_t ParseStoredInt(const char *text, int32_t defaultValue) {
  if (text == nullptr)
    return defaultValue;
  while (*text == ' ' || *text == '\t')
    ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+')
    ++text;
  if (*text < '0' || *text > '9')
    return defaultValue;
  int64_t magnitude = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    magnitude = magnitude * 10 + (*text - '0');
    if (magnitude > 2147483648LL)
      return defaultValue;
  }
  int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX)
    return defaultValue;
  return static_cast<int32_t>(result);
}

} // namespace app
