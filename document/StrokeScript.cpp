#include "document/StrokeScript.h"

#include "document/Tools.h"
#include "engine/ColorStyle.h"
#include "engine/Core.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "foundation/Image.h"
#include "foundation/Random.h"

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace app {

namespace {

enum CommandKind : int32_t {
  CommandSeed,
  CommandTool,
  CommandColor,
  CommandColoring,
  CommandUseFore,
  CommandCycleLength,
  CommandSpray,
  CommandGeneral,
  CommandDown,
  CommandMove,
  CommandTurn,
  CommandDrag,
  CommandUp,
  CommandSettle,
};

struct STROKE_COMMAND {
  int32_t Kind;
  int32_t Line;
  int32_t Field;    // spray or general value, colour slot
  double Values[3]; // numbers of the command (positions, counts, setting values)
  uint32_t Color;
};

enum ValueType : int32_t { TypeDouble, TypeInt, TypeBool };

struct SPRAY_FIELD {
  const char *Name;
  size_t Offset;
  int32_t Type;
};

// The spray settings a script may set, by their settings names.
const SPRAY_FIELD SprayFields[] = {
    {"Repulsion", offsetof(SPRAYSTYLE, Repulsion), TypeDouble},
    {"RepulsionArea", offsetof(SPRAYSTYLE, RepulsionArea), TypeDouble},
    {"Gravity", offsetof(SPRAYSTYLE, Gravity), TypeDouble},
    {"gravityArea", offsetof(SPRAYSTYLE, gravityArea), TypeDouble},
    {"Brake", offsetof(SPRAYSTYLE, Brake), TypeDouble},
    {"Viscosity", offsetof(SPRAYSTYLE, Viscosity), TypeDouble},
    {"ViscosityArea", offsetof(SPRAYSTYLE, ViscosityArea), TypeDouble},
    {"Life", offsetof(SPRAYSTYLE, Life), TypeInt},
    {"LimitedSpeed", offsetof(SPRAYSTYLE, LimitedSpeed), TypeDouble},
    {"UseLimitedSpeed", offsetof(SPRAYSTYLE, UseLimitedSpeed), TypeBool},
    {"VelocityX", offsetof(SPRAYSTYLE, Velocity) + offsetof(VELOCITY, x), TypeDouble},
    {"VelocityY", offsetof(SPRAYSTYLE, Velocity) + offsetof(VELOCITY, y), TypeDouble},
    {"VelocityWiggle", offsetof(SPRAYSTYLE, VelocityWiggle), TypeDouble},
    {"VelocityWidth", offsetof(SPRAYSTYLE, VelocityWidth), TypeDouble},
    {"VelocityRotationSpeed", offsetof(SPRAYSTYLE, VelocityRotationSpeed), TypeDouble},
    {"VelocityMode", offsetof(SPRAYSTYLE, VelocityMode), TypeInt},
    {"Count", offsetof(SPRAYSTYLE, Count), TypeInt},
    {"Size", offsetof(SPRAYSTYLE, Size), TypeInt},
    {"Throwing", offsetof(SPRAYSTYLE, Throwing), TypeDouble},
    {"UseSpin", offsetof(SPRAYSTYLE, UseSpin), TypeBool},
    {"SpinStep", offsetof(SPRAYSTYLE, SpinStep), TypeInt},
    {"SpinAngle", offsetof(SPRAYSTYLE, SpinAngle), TypeDouble},
    {"SpinAngleWiggle", offsetof(SPRAYSTYLE, SpinAngleWiggle), TypeDouble},
    {"UseSplit", offsetof(SPRAYSTYLE, UseSplit), TypeBool},
    {"SplitMode", offsetof(SPRAYSTYLE, SplitMode), TypeInt},
    {"SplitStep1", offsetof(SPRAYSTYLE, SplitStep1), TypeInt},
    {"SplitStep2", offsetof(SPRAYSTYLE, SplitStep2), TypeInt},
    {"SplitAngle1", offsetof(SPRAYSTYLE, SplitAngle1), TypeDouble},
    {"SplitAngle2", offsetof(SPRAYSTYLE, SplitAngle2), TypeDouble},
    {"SplitAngleWiggle", offsetof(SPRAYSTYLE, SplitAngleWiggle), TypeDouble},
    {"SplitLag", offsetof(SPRAYSTYLE, SplitLag), TypeInt},
    {"SplitGenerations", offsetof(SPRAYSTYLE, SplitGenerations), TypeInt},
    {"SplitRate", offsetof(SPRAYSTYLE, SplitRate), TypeDouble},
};
const int32_t SprayFieldCount = static_cast<int32_t>(sizeof SprayFields / sizeof SprayFields[0]);

enum GeneralField : int32_t { GeneralGravityType, GeneralGravityX, GeneralGravityY, GeneralLively };
const char *const GeneralNames[] = {"GravityType", "GravityX", "GravityY", "Lively"};

const char *const ColoringNames[] = {"single", "gradation", "cycle", "random"};
const char *const ToolNames[] = {"paint", "erase", "blur"};

int32_t FindName(const char *const *names, int32_t count, const std::string &word) {
  for (int32_t i = 0; i < count; ++i) {
    if (word == names[i])
      return i;
  }
  return -1;
}

// The words of one line without its comment: a line whose first word starts with '#' is a
// comment, and a word that is just '#' starts a trailing comment (colours are written #RRGGBB).
std::vector<std::string> SplitWords(const std::string &line) {
  std::vector<std::string> words;
  std::string::size_type i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    std::string::size_type end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r')
      ++end;
    std::string word = line.substr(i, end - i);
    if (word == "#" || (words.empty() && word[0] == '#'))
      break;
    words.push_back(std::move(word));
    i = end;
  }
  return words;
}

// Reads the words of one line into a command, throwing with the line number.
class LineReader {
public:
  LineReader(int32_t line, std::vector<std::string> words) : Line(line), Words(std::move(words)) {}

  [[noreturn]] void Fail(const std::string &message) const {
    throw StrokeScriptError(Line, message);
  }

  const std::string &Command() const { return Words[0]; }

  // Demands between `least` and `most` arguments after the command word.
  void Arguments(size_t least, size_t most, const char *usage) const {
    const size_t n = Words.size() - 1;
    if (n < least || n > most)
      Fail("usage: " + std::string(usage));
  }

  const std::string &Word(size_t i) const { return Words[i]; }
  size_t ArgumentCount() const { return Words.size() - 1; }

  double Number(size_t i) const {
    const std::string &w = Words[i];
    errno = 0;
    char *end = nullptr;
    const double value = std::strtod(w.c_str(), &end);
    if (w.empty() || end != w.c_str() + w.size() || errno == ERANGE || !std::isfinite(value))
      Fail("\"" + w + "\" is not a number");
    return value;
  }

  double Integer(size_t i, double least, double most) const {
    const double value = Number(i);
    if (value != std::floor(value))
      Fail("\"" + Words[i] + "\" is not a whole number");
    if (value < least || value > most) {
      std::ostringstream text;
      text << "\"" << Words[i] << "\" is outside " << least << " to " << most;
      Fail(text.str());
    }
    return value;
  }

  double Coordinate(size_t i) const {
    const double value = Number(i);
    if (std::fabs(value) > StrokeScriptMaxCoordinate)
      Fail("\"" + Words[i] + "\" is too far outside the picture");
    return value;
  }

  double Switch(size_t i) const {
    const std::string &w = Words[i];
    if (w == "on" || w == "1" || w == "true")
      return 1;
    if (w == "off" || w == "0" || w == "false")
      return 0;
    Fail("\"" + w + "\" is not on or off");
  }

  // #RRGGBB or #RRGGBBAA as the RGBA uint32 (red in the low byte); alpha 255 when left out.
  uint32_t Color(size_t i) const {
    const std::string &w = Words[i];
    if ((w.size() != 7 && w.size() != 9) || w[0] != '#')
      Fail("\"" + w + "\" is not a colour #RRGGBB or #RRGGBBAA");
    uint32_t bytes[4] = {0, 0, 0, 255};
    for (size_t k = 0; k * 2 + 1 < w.size(); ++k) {
      uint32_t byte = 0;
      for (size_t d = 1 + 2 * k; d < 3 + 2 * k; ++d) {
        const char c = w[d];
        uint32_t digit;
        if (c >= '0' && c <= '9')
          digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
          digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
          digit = static_cast<uint32_t>(c - 'A' + 10);
        else
          Fail("\"" + w + "\" is not a colour #RRGGBB or #RRGGBBAA");
        byte = byte * 16 + digit;
      }
      bytes[k] = byte;
    }
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | bytes[3] << 24;
  }

private:
  int32_t Line;
  std::vector<std::string> Words;
};

struct CANVAS {
  bool Present;
  int32_t Width;
  int32_t Height;
  uint32_t Color;
};

} // namespace

struct StrokeScriptMember {
  CANVAS Canvas{false, 0, 0, 0};
  std::vector<STROKE_COMMAND> Commands;
  int32_t LineCount = 0;
};

StrokeScriptError::StrokeScriptError(int32_t line, const std::string &message)
    : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + message : message),
      Line(line) {}

StrokeScript::StrokeScript() : Member(std::make_unique<StrokeScriptMember>()) {}

StrokeScript::~StrokeScript() = default;

bool StrokeScript::HasCanvas() const { return Member->Canvas.Present; }

void StrokeScript::ParseFile(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw StrokeScriptError(0, "cannot open \"" + path + "\"");
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad())
    throw StrokeScriptError(0, "cannot read \"" + path + "\"");
  Parse(text.str());
}

void StrokeScript::Parse(const std::string &text) {
  StrokeScriptMember parsed;
  std::istringstream lines(text);
  std::string line;
  int32_t number = 0;
  while (std::getline(lines, line)) {
    ++number;
    std::vector<std::string> words = SplitWords(line);
    if (words.empty())
      continue;
    LineReader r(number, std::move(words));
    STROKE_COMMAND c{};
    c.Line = number;
    const std::string &name = r.Command();
    if (name == "canvas") {
      r.Arguments(2, 3, "canvas WIDTH HEIGHT [#RRGGBBAA]");
      if (!parsed.Commands.empty() || parsed.Canvas.Present)
        r.Fail("canvas must come first, and only once");
      parsed.Canvas.Present = true;
      parsed.Canvas.Width = static_cast<int32_t>(r.Integer(1, 1, StrokeScriptMaxCanvasSide));
      parsed.Canvas.Height = static_cast<int32_t>(r.Integer(2, 1, StrokeScriptMaxCanvasSide));
      parsed.Canvas.Color = r.ArgumentCount() == 3 ? r.Color(3) : 0xFFFFFFFFu;
      continue;
    }
    if (name == "seed") {
      r.Arguments(1, 1, "seed NUMBER");
      c.Kind = CommandSeed;
      c.Values[0] = r.Integer(1, 0, 4294967295.0);
    } else if (name == "tool") {
      r.Arguments(1, 1, "tool paint|erase|blur");
      c.Kind = CommandTool;
      c.Field = FindName(ToolNames, ToolCount, r.Word(1));
      if (c.Field < 0)
        r.Fail("unknown tool \"" + r.Word(1) + "\" (paint, erase or blur)");
    } else if (name == "color") {
      r.Arguments(2, 2, "color fore|back #RRGGBBAA");
      c.Kind = CommandColor;
      if (r.Word(1) == "fore")
        c.Field = 0;
      else if (r.Word(1) == "back")
        c.Field = 1;
      else
        r.Fail("\"" + r.Word(1) + "\" is neither fore nor back");
      c.Color = r.Color(2);
    } else if (name == "coloring") {
      r.Arguments(1, 1, "coloring single|gradation|cycle|random");
      c.Kind = CommandColoring;
      c.Field = FindName(ColoringNames, 4, r.Word(1));
      if (c.Field < 0)
        r.Fail("unknown coloring \"" + r.Word(1) + "\" (single, gradation, cycle or random)");
    } else if (name == "usefore") {
      r.Arguments(1, 1, "usefore on|off");
      c.Kind = CommandUseFore;
      c.Values[0] = r.Switch(1);
    } else if (name == "cyclelength") {
      r.Arguments(1, 1, "cyclelength TURNS");
      c.Kind = CommandCycleLength;
      c.Values[0] = r.Integer(1, 1, 2147483647.0);
    } else if (name == "spray") {
      r.Arguments(2, 2, "spray NAME VALUE");
      c.Kind = CommandSpray;
      c.Field = -1;
      for (int32_t i = 0; i < SprayFieldCount; ++i) {
        if (r.Word(1) == SprayFields[i].Name)
          c.Field = i;
      }
      if (c.Field < 0)
        r.Fail("unknown spray setting \"" + r.Word(1) + "\"");
      switch (SprayFields[c.Field].Type) {
      case TypeInt:
        c.Values[0] = r.Integer(2, -2147483648.0, 2147483647.0);
        break;
      case TypeBool:
        c.Values[0] = r.Switch(2);
        break;
      default:
        c.Values[0] = r.Number(2);
        break;
      }
    } else if (name == "general") {
      r.Arguments(2, 2, "general NAME VALUE");
      c.Kind = CommandGeneral;
      c.Field = FindName(GeneralNames, 4, r.Word(1));
      if (c.Field < 0)
        r.Fail("unknown general setting \"" + r.Word(1) + "\"");
      if (c.Field == GeneralGravityType) {
        c.Values[0] = r.Integer(2, 0, 1);
      } else {
        c.Values[0] = r.Number(2);
        if (c.Field == GeneralLively && (c.Values[0] < 0 || c.Values[0] > 1))
          r.Fail("Lively must lie between 0 and 1");
      }
    } else if (name == "down" || name == "move") {
      r.Arguments(2, 2, name == "down" ? "down X Y" : "move X Y");
      c.Kind = name == "down" ? CommandDown : CommandMove;
      c.Values[0] = r.Coordinate(1);
      c.Values[1] = r.Coordinate(2);
    } else if (name == "turn") {
      r.Arguments(0, 1, "turn [COUNT]");
      c.Kind = CommandTurn;
      c.Values[0] = r.ArgumentCount() == 1 ? r.Integer(1, 0, StrokeScriptMaxTurns) : 1;
    } else if (name == "drag") {
      r.Arguments(3, 3, "drag X Y TURNS");
      c.Kind = CommandDrag;
      c.Values[0] = r.Coordinate(1);
      c.Values[1] = r.Coordinate(2);
      c.Values[2] = r.Integer(3, 1, StrokeScriptMaxTurns);
    } else if (name == "up") {
      r.Arguments(0, 0, "up");
      c.Kind = CommandUp;
    } else if (name == "settle") {
      r.Arguments(0, 0, "settle");
      c.Kind = CommandSettle;
    } else {
      r.Fail("unknown command \"" + name + "\"");
    }
    parsed.Commands.push_back(c);
  }
  parsed.LineCount = number;
  *Member = std::move(parsed);
}

namespace {

// Replays commands on one picture and one engine, as the picture view would drive them.
class StrokeRunner {
public:
  StrokeRunner(Image &picture, Core &engine) : Picture(picture), Engine(engine) {}

  // Ends a stroke left open (by a failure) while the engine still exists.
  ~StrokeRunner() {
    try {
      Send(ToolEventCancel);
    } catch (...) {
    }
  }

  void Execute(const STROKE_COMMAND &c) {
    switch (c.Kind) {
    case CommandSeed:
      SeedRandom(static_cast<uint32_t>(c.Values[0]));
      break;
    case CommandTool:
      SwitchTool(c.Field, &Engine);
      break;
    case CommandColor: {
      COLORSTYLE color = CopyColorStyle(ToolIndexCurrent);
      color.Colors[c.Field] = c.Color;
      SetColorStyle(color, ToolIndexCurrent);
      break;
    }
    case CommandColoring: {
      COLORSTYLE color = CopyColorStyle(ToolIndexCurrent);
      color.Coloring = c.Field;
      SetColorStyle(color, ToolIndexCurrent);
      break;
    }
    case CommandUseFore: {
      COLORSTYLE color = CopyColorStyle(ToolIndexCurrent);
      color.useFore = c.Values[0] != 0;
      SetColorStyle(color, ToolIndexCurrent);
      break;
    }
    case CommandCycleLength: {
      COLORSTYLE color = CopyColorStyle(ToolIndexCurrent);
      color.CycleLength = static_cast<int32_t>(c.Values[0]);
      SetColorStyle(color, ToolIndexCurrent);
      break;
    }
    case CommandSpray:
      SetSprayValue(c.Field, c.Values[0]);
      break;
    case CommandGeneral:
      SetGeneralValue(c.Field, c.Values[0]);
      break;
    case CommandDown:
      Pointer = {c.Values[0], c.Values[1]};
      Send(ToolEventButtonDown);
      break;
    case CommandMove:
      Pointer = {c.Values[0], c.Values[1]};
      Send(ToolEventMouseMove);
      break;
    case CommandTurn:
      for (int32_t i = 0; i < static_cast<int32_t>(c.Values[0]); ++i)
        Turn();
      break;
    case CommandDrag: {
      const PICTURE_POINT from = Pointer;
      const int32_t n = static_cast<int32_t>(c.Values[2]);
      for (int32_t i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        Pointer = {from.x + (c.Values[0] - from.x) * t, from.y + (c.Values[1] - from.y) * t};
        Send(ToolEventMouseMove);
        Turn();
      }
      break;
    }
    case CommandUp:
      Send(ToolEventButtonUp);
      break;
    case CommandSettle:
      Settle(c.Line);
      break;
    default:
      break;
    }
  }

  // Turns until the settings list is empty: every particle dead and no stroke in progress.
  void Settle(int32_t line) {
    for (int32_t i = 0; Engine.HasParticles(); ++i) {
      if (i == StrokeScriptMaxTurns || IsToolBusy())
        throw StrokeScriptError(line, IsToolBusy()
                                          ? "cannot settle while the button is down"
                                          : "particles still alive after " +
                                                std::to_string(StrokeScriptMaxTurns) + " turns");
      Turn();
    }
  }

  void Finish(int32_t line) {
    if (IsToolBusy())
      Send(ToolEventButtonUp);
    Settle(line);
  }

  int32_t GetTurns() const { return Turns; }

private:
  // One view turn: the engine's turn on the picture, then the tool's turn event.
  void Turn() {
    Engine.Turn(Picture);
    ++Turns;
    Send(ToolEventTurn);
  }

  void Send(int32_t code) {
    TOOL_EVENT event = {Pointer, &Picture, &Engine, code, 0};
    DispatchToolEvent(event);
  }

  static void SetSprayValue(int32_t field, double value) {
    SPRAYSTYLE style = CopySprayStyle(ToolIndexCurrent);
    unsigned char *at = reinterpret_cast<unsigned char *>(&style) + SprayFields[field].Offset;
    switch (SprayFields[field].Type) {
    case TypeInt: {
      const int32_t v = static_cast<int32_t>(value);
      std::memcpy(at, &v, sizeof v);
      break;
    }
    case TypeBool: {
      const bool v = value != 0;
      std::memcpy(at, &v, sizeof v);
      break;
    }
    default:
      std::memcpy(at, &value, sizeof value);
      break;
    }
    SetSprayStyle(style, ToolIndexCurrent);
  }

  static void SetGeneralValue(int32_t field, double value) {
    GENERALSTYLE general;
    GetGeneralStyle(&general);
    switch (field) {
    case GeneralGravityType:
      general.GravityType = static_cast<int32_t>(value);
      break;
    case GeneralGravityX:
      general.GravityX = value;
      break;
    case GeneralGravityY:
      general.GravityY = value;
      break;
    default:
      general.Lively = value;
      break;
    }
    SetGeneralStyle(general);
  }

  Image &Picture;
  Core &Engine;
  PICTURE_POINT Pointer{0, 0};
  int32_t Turns = 0;
};

void CountEmission(const EMIT_REQUEST &, Core &, void *context) {
  ++*static_cast<int64_t *>(context);
}

// Installs the emission counter for one run.
class EmissionCounter {
public:
  EmissionCounter() { SetEmissionObserver(CountEmission, &Count); }
  ~EmissionCounter() { SetEmissionObserver(nullptr, nullptr); }
  EmissionCounter(const EmissionCounter &) = delete;
  EmissionCounter &operator=(const EmissionCounter &) = delete;
  int64_t Count = 0;
};

void ResetSettings() {
  for (int32_t tool = 0; tool < ToolCount; ++tool) {
    SetSprayStyle(DefaultSprayStyle(), tool);
    SetColorStyle(DefaultColorStyle(), tool);
  }
  SetGeneralStyle(DefaultGeneralStyle());
  DestroyTools(); // a tool left over from elsewhere may hold a stroke of another engine
  SelectTool(ToolIndexPaint);
}

} // namespace

STROKE_RESULT StrokeScript::Run(Image &picture) const {
  const StrokeScriptMember &m = *Member;
  if (m.Canvas.Present) {
    picture.Reset(m.Canvas.Width, m.Canvas.Height, 4);
    for (int32_t y = 0; y < m.Canvas.Height; ++y) {
      unsigned char *row = picture.GetWritableRow(y);
      for (int32_t x = 0; x < m.Canvas.Width; ++x) {
        for (int32_t k = 0; k < 4; ++k)
          row[4 * x + k] = static_cast<unsigned char>(m.Canvas.Color >> (8 * k));
      }
    }
  } else if (picture.GetBytesPerPixel() != 4) {
    throw StrokeScriptError(0, "the picture must have 4 bytes a pixel");
  }
  ResetSettings();
  SeedRandom(1);
  Core engine;
  engine.SetPictureSize(picture.GetWidth(), picture.GetHeight());
  engine.SetMode(ToolIndexPaint);
  EmissionCounter counter;
  StrokeRunner runner(picture, engine);
  for (const STROKE_COMMAND &c : m.Commands)
    runner.Execute(c);
  runner.Finish(m.LineCount);
  return {runner.GetTurns(), counter.Count};
}

} // namespace app
