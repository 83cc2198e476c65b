#include "framework/win32/UpdateControl.h"

#include "foundation/Exception.h"
#include "framework/Registry.h"
#include "framework/String.h"
#include "framework/win32/Dialog.h"
#include "framework/win32/ValueControl.h"

#include <commctrl.h>

#include <cmath>
#include <cstdlib>

namespace app {

struct UpdateControlMember {
  Dialog *Owner = nullptr;
  bool ToControls = false;
};

namespace {

// The leading decimal number of the text, 0.0 when it starts with none. Only finite values
// count as numbers: "inf", "nan" or an overflowing exponent give 0.0 like any other text that
// is not a number, so that no field is left infinite or undefined.
double ParseLeadingDouble(const char *text) {
  double value = std::strtod(text, nullptr);
  return std::isfinite(value) ? value : 0.0;
}

ValueControl *ValueControlOf(Dialog &dialog, int32_t id) {
  return GetValueControl(dialog.GetItem(id));
}

} // namespace

UpdateControl::UpdateControl(Dialog &dialog, bool toControls)
    : Member(std::make_unique<UpdateControlMember>()) {
  Member->Owner = &dialog;
  Member->ToControls = toControls;
}

UpdateControl::~UpdateControl() = default;

bool UpdateControl::IsToControls() const { return Member->ToControls; }

void UpdateControl::EnableControl(int32_t id, bool enable) {
  if (Member->ToControls) {
    Member->Owner->EnableItem(id, enable);
  }
}

void UpdateControl::ExchangeEditText(int32_t id, String &text) {
  if (Member->ToControls) {
    Member->Owner->SetItemText(id, text.GetText());
  } else {
    text.Assign(Member->Owner->GetItemText(id));
  }
}

void UpdateControl::ExchangeEditInt(int32_t id, int32_t &value) {
  if (Member->ToControls) {
    Member->Owner->SetItemInt(id, value);
  } else {
    bool ok = false;
    int32_t read = Member->Owner->GetItemInt(id, &ok);
    if (ok) {
      value = read;
    }
  }
}

void UpdateControl::ExchangeEditDouble(int32_t id, double &value) {
  if (Member->ToControls) {
    String text;
    text.Format("%g", value);
    Member->Owner->SetItemText(id, text.GetText());
  } else {
    value = ParseLeadingDouble(Member->Owner->GetItemText(id).GetText());
  }
}

void UpdateControl::ExchangeCheck(int32_t id, bool &value) {
  if (Member->ToControls) {
    Member->Owner->CheckButton(id, value ? BST_CHECKED : BST_UNCHECKED);
  } else {
    value = Member->Owner->IsButtonChecked(id) == BST_CHECKED;
  }
}

void UpdateControl::ExchangeAngle(int32_t id, double &value) { ExchangeSlider(id, value); }

void UpdateControl::ExchangeSlider(int32_t id, double &value) {
  ValueControl *control = ValueControlOf(*Member->Owner, id);
  if (control == nullptr) {
    return;
  }
  if (Member->ToControls) {
    control->SetValue(value);
  } else {
    value = control->GetValue();
  }
}

void UpdateControl::ExchangeSliderInt(int32_t id, int32_t &value) {
  ValueControl *control = ValueControlOf(*Member->Owner, id);
  if (control == nullptr) {
    return;
  }
  if (Member->ToControls) {
    control->SetValue(static_cast<double>(value));
  } else {
    // A value beyond the int32 range (or not a number) keeps the field.
    bool ok = true;
    int32_t read = TruncateToInt(control->GetValue(), &ok);
    if (ok) {
      value = read;
    }
  }
}

void UpdateControl::ExchangeVector(int32_t sliderId, int32_t angleId, DPOINT &vector) {
  ValueControl *slider = ValueControlOf(*Member->Owner, sliderId);
  ValueControl *angle = ValueControlOf(*Member->Owner, angleId);
  if (Member->ToControls) {
    if (slider != nullptr) {
      slider->SetValue(std::sqrt(vector.x * vector.x + vector.y * vector.y));
    }
    if (angle != nullptr) {
      bool still = vector.x == 0.0 && -vector.y == 0.0;
      angle->SetValue(still ? 0.0 : std::atan2(-vector.y, vector.x));
    }
  } else if (slider != nullptr && angle != nullptr) {
    double length = slider->GetValue();
    double direction = angle->GetValue();
    vector.x = std::cos(direction) * length;
    vector.y = -std::sin(direction) * length;
  }
}

void UpdateControl::ExchangeTrackBar(int32_t id, int32_t &position) {
  if (Member->ToControls) {
    Member->Owner->SendItemMessage(id, TBM_SETPOS, TRUE, static_cast<LPARAM>(position));
  } else {
    position = static_cast<int32_t>(Member->Owner->SendItemMessage(id, TBM_GETPOS, 0, 0));
  }
}

void UpdateControl::ExchangeRadio(const RADIO_ITEM *table, int32_t &value) {
  for (const RADIO_ITEM *row = table; row->Id != 0; ++row) {
    if (Member->ToControls) {
      Member->Owner->CheckButton(row->Id, value == row->Value ? BST_CHECKED : BST_UNCHECKED);
    } else if (Member->Owner->IsButtonChecked(row->Id) == BST_CHECKED) {
      value = row->Value;
      return;
    }
  }
}

} // namespace app
