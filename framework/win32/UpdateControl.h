// Moves a dialog's fields into its controls or out of them, one control a call; the direction
// is fixed for the whole exchange, so one list of calls serves both ways. Into the controls a
// field is never changed; out of them a control is never changed.
#pragma once

#include <cstdint>
#include <memory>

namespace app {

class Dialog;
class String;
struct DPOINT;

// One row of a radio-button group: the button and the value it stands for. A table ends with
// the row whose button id is 0.
struct RADIO_ITEM {
  int32_t Id;
  int32_t Value;
};

struct UpdateControlMember;

class UpdateControl {
public:
  UpdateControl(Dialog &dialog, bool toControls);
  UpdateControl(const UpdateControl &) = delete;
  UpdateControl &operator=(const UpdateControl &) = delete;
  ~UpdateControl();

  bool IsToControls() const;
  // Into the controls: enables or disables the control. Out of them: nothing.
  void EnableControl(int32_t id, bool enable);
  // The edit box's text (left alone when it already shows exactly that text).
  void ExchangeEditText(int32_t id, String &text);
  // Signed decimal. Out of the control, text that is not a whole integer keeps the field.
  void ExchangeEditInt(int32_t id, int32_t &value);
  // "%g" into the control; out of it, the leading decimal number of the text (0.0 for none).
  void ExchangeEditDouble(int32_t id, double &value);
  // Check state 1 for true; the indeterminate state reads false.
  void ExchangeCheck(int32_t id, bool &value);
  // The angle dial's value in radians. A control with no bound value control is skipped.
  void ExchangeAngle(int32_t id, double &value);
  // The slider's value. A control with no bound value control is skipped.
  void ExchangeSlider(int32_t id, double &value);
  // The slider's value, truncated toward zero on the way out.
  void ExchangeSliderInt(int32_t id, int32_t &value);
  // A direction and length: the slider shows the length, the dial the angle counter-clockwise
  // on the screen (y points down).
  void ExchangeVector(int32_t sliderId, int32_t angleId, DPOINT &vector);
  // The track bar's position.
  void ExchangeTrackBar(int32_t id, int32_t &position);
  // The value of the first checked button of the table; the field is kept when none is.
  void ExchangeRadio(const RADIO_ITEM *table, int32_t &value);

private:
  std::unique_ptr<UpdateControlMember> Member;
};

} // namespace app
