#include "framework/win32/RegistryMedia.h"

#include "foundation/Exception.h"
#include "plugin/win32/Library.h"

#include <windows.h>

namespace app {

const char SettingsKey[] = "Software\\ORVEK\\Brushmote";

namespace {

const char RootSection[] = "App";
const DWORD IniPiece = 1024;

class SystemRegistryMedium : public RegistryMedium {
public:
  explicit SystemRegistryMedium(const char *keyPath) : KeyPath(keyPath) {}
  ~SystemRegistryMedium() override {
    CloseSection();
    if (RootKey != nullptr)
      RegCloseKey(RootKey);
  }

  void Open(bool loading) override {
    Loading = loading;
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath.GetText(), 0, nullptr, 0, Access(),
                                  nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
      if (!Loading)
        throw Exception(ErrorSystem, status);
      return; // loading: every value takes its default
    }
    RootKey = key;
  }

  void SelectSection(const char *name) override {
    if (RootKey == nullptr)
      return;
    CloseSection();
    if (name == nullptr) {
      SectionKey = RootKey;
      return;
    }
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(RootKey, name, 0, nullptr, 0, Access(), nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
      if (!Loading)
        throw Exception(ErrorSystem, status);
      return;
    }
    SectionKey = key;
  }

  int32_t ReadInt(const char *name, int32_t defaultValue) override {
    if (SectionKey == nullptr)
      return defaultValue;
    DWORD type = 0;
    int32_t value = 0;
    DWORD size = sizeof value;
    LONG status =
        RegQueryValueExA(SectionKey, name, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
    // Only a whole 4-byte number is taken; a text, a short or a long value is not one.
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
      return defaultValue;
    return value;
  }

  void ReadString(const char *name, String &value, const char *defaultText) override {
    if (SectionKey == nullptr || !ReadText(name, value))
      value.Assign(defaultText);
  }

  void WriteInt(const char *name, int32_t value) override {
    LONG status = RegSetValueExA(WritableKey(), name, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE *>(&value), sizeof value);
    if (status != ERROR_SUCCESS)
      throw Exception(ErrorSystem, status);
  }

  void WriteString(const char *name, const char *text) override {
    if (text == nullptr)
      text = "";
    size_t length = lstrlenA(text);
    LONG status =
        RegSetValueExA(WritableKey(), name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                       static_cast<DWORD>(length + 1));
    if (status != ERROR_SUCCESS)
      throw Exception(ErrorSystem, status);
  }

private:
  REGSAM Access() const { return Loading ? KEY_READ : KEY_WRITE; }

  void CloseSection() {
    if (SectionKey != nullptr && SectionKey != RootKey)
      RegCloseKey(SectionKey);
    SectionKey = nullptr;
  }

  HKEY WritableKey() const {
    if (SectionKey == nullptr)
      throw Exception(ErrorSystem, ERROR_INVALID_HANDLE);
    return SectionKey;
  }

  // A text value of any length, zero-terminated even when stored without its zero. False for
  // a missing value or one that is not a text.
  bool ReadText(const char *name, String &value) {
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0;
      DWORD size = 0;
      if (RegQueryValueExA(SectionKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
      if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
      if (size >= static_cast<DWORD>(INT32_MAX - 1))
        return false;
      String text;
      text.SetSize(static_cast<int32_t>(size) + 1);
      DWORD got = size;
      LONG status = RegQueryValueExA(SectionKey, name, nullptr, &type,
                                     reinterpret_cast<BYTE *>(text.GetBuffer()), &got);
      if (status == ERROR_MORE_DATA)
        continue; // the value grew in between: ask its size again
      if (status != ERROR_SUCCESS || got > size)
        return false;
      text.GetBuffer()[got] = '\0';
      text.Fit();
      value.Assign(text);
      return true;
    }
    return false;
  }

  String KeyPath;
  HKEY RootKey = nullptr;
  HKEY SectionKey = nullptr;
  bool Loading = false;
};

class IniFileMedium : public RegistryMedium {
public:
  explicit IniFileMedium(const char *path) {
    if (path != nullptr)
      IniPath.Assign(path);
    Section.Assign(RootSection);
  }

  void Open(bool) override {
    if (IniPath.IsNull())
      IniPath = GetSettingsFileName(".ini");
  }

  void SelectSection(const char *name) override {
    Section.Assign(name != nullptr ? name : RootSection);
  }

  int32_t ReadInt(const char *name, int32_t defaultValue) override {
    String text;
    ReadString(name, text, "");
    return ParseStoredInt(text.GetText(), defaultValue);
  }

  void ReadString(const char *name, String &value, const char *defaultText) override {
    if (defaultText == nullptr)
      defaultText = "";
    String text;
    DWORD size = IniPiece;
    for (;;) {
      text.SetSize(static_cast<int32_t>(size));
      DWORD got = GetPrivateProfileStringA(Section.GetText(), name, defaultText, text.GetBuffer(),
                                           size, IniPath.GetText());
      // A result one byte short of the buffer may have been cut: read into a larger one.
      if (got + 1 < size || size > static_cast<DWORD>(INT32_MAX) - IniPiece)
        break;
      size += IniPiece;
    }
    text.Fit();
    value.Assign(text);
  }

  void WriteInt(const char *name, int32_t value) override {
    String text;
    text.Format("%d", value);
    WriteString(name, text.GetText());
  }

  void WriteString(const char *name, const char *text) override {
    if (!WritePrivateProfileStringA(Section.GetText(), name, text != nullptr ? text : "",
                                    IniPath.GetText()))
      throw FileException(ErrorSystem, static_cast<int32_t>(GetLastError()), IniPath.GetText());
  }

private:
  String IniPath;
  String Section;
};

} // namespace

std::unique_ptr<RegistryMedium> MakeSystemRegistryMedium(const char *keyPath) {
  return std::unique_ptr<RegistryMedium>(
      new SystemRegistryMedium(keyPath != nullptr ? keyPath : SettingsKey));
}

std::unique_ptr<RegistryMedium> MakeIniFileMedium(const char *path) {
  return std::unique_ptr<RegistryMedium>(new IniFileMedium(path));
}

std::unique_ptr<RegistryMedium> MakeRegistryMedium(bool useRegistry) {
  return useRegistry ? MakeSystemRegistryMedium() : MakeIniFileMedium();
}

void BeginSettingsStore(Registry &store, bool loading) {
  String switchFile = GetPresetDirectory();
  switchFile.Append("useregistry");
  store.ReadStorageSwitch(switchFile.GetText());
  store.Begin(loading);
}

} // namespace app
