// The settings store: keyed values in the system registry or in an initialisation file.
//
// Every settings group has one exchange routine that names its values, types and defaults;
// the same routine loads (at the start of a run) and saves (at its end), the store's mode
// deciding the direction. A store is made, opened, used for one pass and destroyed.
#pragma once

#include "framework/String.h"

#include <cstdint>
#include <memory>

namespace app {

// A rectangle of four integers, stored as name + "Left", "Top", "Right", "Bottom".
struct RECT32 {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// A point of two doubles, stored as name + "X" and name + "Y".
struct DPOINT {
  double x;
  double y;
};

// Where the values live. The store adds modes, defaults and the encodings of the value types;
// a medium only reads and writes integers and texts in its current section.
class RegistryMedium {
public:
  virtual ~RegistryMedium();
  // Called once, before any section is selected.
  virtual void Open(bool loading) = 0;
  // A section such as "Panel\Spray"; null selects the root.
  virtual void SelectSection(const char *name) = 0;
  // Loading: the stored value, or the default when it is missing or unreadable. Never throws
  // for bad stored data.
  virtual int32_t ReadInt(const char *name, int32_t defaultValue) = 0;
  virtual void ReadString(const char *name, String &value, const char *defaultText) = 0;
  // Saving: a failure throws app::Exception or app::FileException code 1.
  virtual void WriteInt(const char *name, int32_t value) = 0;
  virtual void WriteString(const char *name, const char *text) = 0;
};

struct RegistryMember;

class Registry {
public:
  // The initialisation-file medium, saving, nothing open.
  Registry();
  // A store over the given medium (UseRegistryMedium then has no effect).
  explicit Registry(std::unique_ptr<RegistryMedium> medium);
  Registry(const Registry &) = delete;
  Registry &operator=(const Registry &) = delete;
  ~Registry();

  // Selects the system registry; must come before Open.
  void UseRegistryMedium();
  // Reads the storage switch file: when its first byte is 'y' or 'Y', selects the registry.
  // A missing, empty or unreadable file leaves the initialisation file; nothing is thrown.
  void ReadStorageSwitch(const char *switchFileName);
  void Open(bool loading);
  // Open, select the root and exchange "RegistryVersion": when loading finds any version but
  // the current one (or none), every value of the pass takes its default.
  void Begin(bool loading);
  void IgnoreStoredValues();
  void SelectSection(const char *name);
  bool IsLoading() const;

  void ExchangeInt(const char *name, int32_t &value, int32_t defaultValue);
  void ExchangeBool(const char *name, bool &value, bool defaultValue);
  void ExchangeByte(const char *name, uint8_t &value, uint8_t defaultValue);
  void ExchangeDouble(const char *name, double &value, double defaultValue);
  void ExchangeString(const char *name, String &value, const char *defaultText);
  void ExchangeRect(const char *name, RECT32 &value, const RECT32 &defaultValue);
  void ExchangePoint(const char *name, DPOINT &value, const DPOINT &defaultValue);

  // The same for any record with fields left, top, right, bottom or x, y.
  template <typename R> void ExchangeRect(const char *name, R &value, const R &defaultValue) {
    RECT32 r{static_cast<int32_t>(value.left), static_cast<int32_t>(value.top),
             static_cast<int32_t>(value.right), static_cast<int32_t>(value.bottom)};
    const RECT32 d{static_cast<int32_t>(defaultValue.left), static_cast<int32_t>(defaultValue.top),
                   static_cast<int32_t>(defaultValue.right),
                   static_cast<int32_t>(defaultValue.bottom)};
    ExchangeRect(name, r, d);
    value.left = r.left;
    value.top = r.top;
    value.right = r.right;
    value.bottom = r.bottom;
  }
  template <typename P> void ExchangePoint(const char *name, P &value, const P &defaultValue) {
    DPOINT p{value.x, value.y};
    const DPOINT d{defaultValue.x, defaultValue.y};
    ExchangePoint(name, p, d);
    value.x = p.x;
    value.y = p.y;
  }

private:
  std::unique_ptr<RegistryMember> Member;
};

// The version written as "RegistryVersion"; any other stored version is ignored.
const int32_t RegistryVersion = 1;

// Reads a decimal integer as the initialisation-file medium stores it: optional blanks and
// sign, then digits; anything after them is ignored. Text that does not start with a number,
// or a number outside int32, gives the default.
int32_t ParseStoredInt(const char *text, int32_t defaultValue);

// The media of this platform (framework/win32: the system registry under
// "Software\ORVEK\Brushmote" and the initialisation file named like the library; natively
// there is no store and both keep nothing, loading the defaults).
std::unique_ptr<RegistryMedium> MakeRegistryMedium(bool useRegistry);

} // namespace app
