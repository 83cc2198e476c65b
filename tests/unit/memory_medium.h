// A settings medium kept in memory, for tests of the settings groups' exchange routines.
#pragma once

#include "framework/Registry.h"
#include "framework/String.h"

#include <map>
#include <memory>
#include <set>
#include <string>

namespace testing_support {

// Stored texts keyed "section/name"; the root section is "App", as in the initialisation file.
using StoredValues = std::map<std::string, std::string>;

class MemoryMedium : public app::RegistryMedium {
public:
  // `read`, when given, collects the key of every value asked for while loading.
  explicit MemoryMedium(StoredValues &values, std::set<std::string> *read = nullptr)
      : Values(values), Read(read) {}
  void Open(bool) override {}
  void SelectSection(const char *name) override { Section = name != nullptr ? name : "App"; }
  int32_t ReadInt(const char *name, int32_t defaultValue) override {
    const std::string *text = Find(name);
    return text != nullptr ? app::ParseStoredInt(text->c_str(), defaultValue) : defaultValue;
  }
  void ReadString(const char *name, app::String &value, const char *defaultText) override {
    const std::string *text = Find(name);
    value.Assign(text != nullptr ? text->c_str() : defaultText);
  }
  void WriteInt(const char *name, int32_t value) override {
    Values[Key(name)] = std::to_string(value);
  }
  void WriteString(const char *name, const char *text) override { Values[Key(name)] = text; }

private:
  std::string Key(const char *name) const { return Section + "/" + name; }
  const std::string *Find(const char *name) {
    if (Read != nullptr)
      Read->insert(Key(name));
    auto found = Values.find(Key(name));
    return found != Values.end() ? &found->second : nullptr;
  }

  StoredValues &Values;
  std::set<std::string> *Read;
  std::string Section = "App";
};

inline std::unique_ptr<app::RegistryMedium>
MakeMemoryMedium(StoredValues &values, std::set<std::string> *read = nullptr) {
  return std::make_unique<MemoryMedium>(values, read);
}

} // namespace testing_support
