// The native build has no settings store: loading gives every default, saving keeps nothing.
#include "framework/Registry.h"

namespace app {

namespace {

class NoMedium : public RegistryMedium {
public:
  void Open(bool) override {}
  void SelectSection(const char *) override {}
  int32_t ReadInt(const char *, int32_t defaultValue) override { return defaultValue; }
  void ReadString(const char *, String &value, const char *defaultText) override {
    value.Assign(defaultText != nullptr ? defaultText : "");
  }
  void WriteInt(const char *, int32_t) override {}
  void WriteString(const char *, const char *) override {}
};

} // namespace

std::unique_ptr<RegistryMedium> MakeRegistryMedium(bool) {
  return std::unique_ptr<RegistryMedium>(new NoMedium);
}

} // namespace app
