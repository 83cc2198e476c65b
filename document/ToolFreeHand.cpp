// The free-hand stroke shared by Paint, Erase and Blur.
#include "document/Tools.h"

#include "engine/ColorStyle.h"
#include "engine/Core.h"
#include "foundation/Random.h"

#include <climits>
#include <cmath>

namespace app {

namespace {

enum : int32_t { StateIdle = 0, StateStroking = 1 };

constexpr double Pi = 3.14159265358979323846;

EmissionObserver Observer = nullptr;
void *ObserverContext = nullptr;

} // namespace

struct ToolFreeHandMember {
  SPRAYSTYLE Settings{};      // the stroke's settings in engine units, colour block filled
  int32_t SettingsIndex = -1; // the stroke's item in the engine's settings list; -1: none held
  int32_t State = StateIdle;
  int32_t TurnCount = 0;            // turns since the stroke started; drives the swing
  PICTURE_POINT LastPosition{0, 0}; // where the previous burst ended
  PICTURE_POINT LastMotion{0, 0};   // the pointer's displacement during the previous turn
};

void SetEmissionObserver(EmissionObserver observer, void *context) {
  Observer = observer;
  ObserverContext = context;
}

namespace {

// The swing of the emission direction for particle `index` of the burst of turn `turnCount`, in
// degrees, between -VelocityWidth/2 and +VelocityWidth/2. The phase advances by
// VelocityRotationSpeed degrees a turn, spread evenly over the particles of one burst.
double SwingAngle(const SPRAYSTYLE &settings, int32_t turnCount, int32_t index) {
  const double w = settings.VelocityWidth;
  const double speed = settings.VelocityRotationSpeed;
  double g = static_cast<double>(turnCount) * speed + w / 2;
  if (settings.Count > 0) // a burst's share; 0 for a stroke's first particle when Count is 0
    g += static_cast<double>(index) * speed / settings.Count;
  switch (settings.VelocityMode) {
  case VelocityLeftSpin:
    return std::fmod(g, w) - w / 2;
  case VelocityRightSpin:
    return -(std::fmod(g, w) - w / 2);
  case VelocityWiper: {
    double l = std::fmod(g, 2 * w);
    if (l > w)
      l = 2 * w - l;
    return l - w / 2;
  }
  case VelocityRandom:
    return Random() * w / 32768 - w / 2;
  default: // VelocityNoSweep: the direction stays as the spray sets it
    return 0;
  }
}

// Scatters the particle inside the emission area and hands it to the engine.
void AddToEngine(Core &engine, const TOOL_EVENT &event, const SPRAYSTYLE &settings,
                 PICTURE_POINT position, VELOCITY velocity, int32_t settingsIndex) {
  const double radius = Random() * static_cast<double>(settings.Size) / 65534;
  const double angle = Random() * 2 * Pi / 32767;
  EMIT_REQUEST request;
  request.StartVelocity = velocity;
  request.StartPosition = {position.x + std::cos(angle) * radius,
                           position.y + std::sin(angle) * radius};
  request.Picture = event.Picture;
  request.SettingsIndex = settingsIndex;
  request.Generations = settings.SplitGenerations;
  if (Observer != nullptr)
    Observer(request, engine, ObserverContext);
  engine.AddParticle(request);
}

// One particle at `position`, the pointer having moved by `motion` in the turn; `index` is its
// place in the burst.
void EmitParticle(ToolFreeHandMember &m, const TOOL_EVENT &event, PICTURE_POINT position,
                  PICTURE_POINT motion, int32_t index) {
  const SPRAYSTYLE &settings = m.Settings;
  Core &engine = *event.Engine;
  VELOCITY v = settings.Velocity;
  if (settings.Throwing > 0) {
    v.x += settings.Throwing * motion.x;
    v.y += settings.Throwing * motion.y;
  }
  if (settings.VelocityWidth > 0) {
    const double a = SwingAngle(settings, m.TurnCount, index) * 2 * Pi / 360;
    const double c = std::cos(a), s = std::sin(a);
    v = {c * v.x - s * v.y, s * v.x + c * v.y};
  }
  if (settings.VelocityWiggle > 0) {
    const double d = Random() * settings.VelocityWiggle / 32767;
    v.x -= v.x * d;
    v.y -= v.y * d;
  }
  if (settings.Color.Coloring == ColoringRandom) {
    // A private record with its own first colour, alive exactly as long as the particle: the
    // engine takes its own reference when it accepts the particle, and the guard drops ours.
    SPRAYSTYLE mixed = settings;
    mixed.Color.Colors[0] = MixRandomColor(settings.Color);
    const int32_t mixedIndex = engine.RegisterSettings(mixed);
    DecreaseReference guard(&engine, mixedIndex);
    AddToEngine(engine, event, settings, position, v, mixedIndex);
  } else {
    AddToEngine(engine, event, settings, position, v, m.SettingsIndex);
  }
}

void StartStroke(ToolFreeHandMember &m, const TOOL_EVENT &event) {
  Core &engine = *event.Engine;
  m.Settings = CopySprayStyle(ToolIndexCurrent);
  m.Settings.Color = CopyColorStyle(ToolIndexCurrent);
  ToEngineUnits(m.Settings);
  if (m.SettingsIndex != -1) {
    const int32_t old = m.SettingsIndex;
    m.SettingsIndex = -1; // never released twice, even if registering fails below
    engine.ReleaseSettings(old);
  }
  m.SettingsIndex = engine.RegisterSettings(m.Settings);
  m.TurnCount = 0;
  m.State = StateStroking;
  m.LastMotion = {0, 0};
  EmitParticle(m, event, event.Position, {0, 0}, 0);
  m.LastPosition = event.Position;
}

void EmitBurst(ToolFreeHandMember &m, const TOOL_EVENT &event) {
  const int32_t n = m.Settings.Count;
  const PICTURE_POINT q = event.Position;
  const PICTURE_POINT motion = {q.x - m.LastPosition.x, q.y - m.LastPosition.y};
  if (n > 0) {
    const PICTURE_POINT positionStep = {motion.x / n, motion.y / n};
    const PICTURE_POINT motionStep = {(motion.x - m.LastMotion.x) / n,
                                      (motion.y - m.LastMotion.y) / n};
    PICTURE_POINT p = m.LastPosition;
    PICTURE_POINT mm = m.LastMotion;
    for (int32_t i = 0; i < n; ++i) {
      if (i == n - 1) {
        // The burst ends exactly at the pointer, whatever the steps' rounding added up to.
        p = q;
        mm = motion;
      } else {
        p.x += positionStep.x;
        p.y += positionStep.y;
        mm.x += motionStep.x;
        mm.y += motionStep.y;
      }
      EmitParticle(m, event, p, mm, i);
    }
    m.LastPosition = p;
  }
  m.LastMotion = motion;
  if (m.TurnCount < INT32_MAX)
    ++m.TurnCount;
}

void EndStroke(ToolFreeHandMember &m, const TOOL_EVENT &event) {
  const int32_t index = m.SettingsIndex;
  // Idle first: a failing release must not leave the tool stroking (and so unswitchable).
  m.SettingsIndex = -1;
  m.State = StateIdle;
  if (index != -1 && event.Engine != nullptr)
    event.Engine->ReleaseSettings(index);
}

} // namespace

ToolFreeHand::ToolFreeHand() : Member(std::make_unique<ToolFreeHandMember>()) {}

ToolFreeHand::~ToolFreeHand() = default;

bool ToolFreeHand::IsCapturing() const { return Member->State == StateStroking; }

bool ToolFreeHand::IsBusy() const { return Member->State == StateStroking; }

void ToolFreeHand::OnEvent(TOOL_EVENT &event) {
  ToolFreeHandMember &m = *Member;
  if (m.State == StateIdle) {
    if (event.EventCode == ToolEventButtonDown && event.Engine != nullptr)
      StartStroke(m, event);
    return;
  }
  switch (event.EventCode) {
  case ToolEventButtonUp:
  case ToolEventCancel:
    EndStroke(m, event);
    break;
  case ToolEventTurn:
    if (event.Engine != nullptr)
      EmitBurst(m, event);
    break;
  default:
    break;
  }
}

DecreaseReference::DecreaseReference(Core *engine, int32_t index) : Engine(engine), Index(index) {}

DecreaseReference::~DecreaseReference() {
  if (Engine == nullptr)
    return;
  try {
    Engine->ReleaseSettings(Index);
  } catch (...) {
    // Releasing an index this guard registered cannot fail; a destructor must not throw.
  }
}

} // namespace app
