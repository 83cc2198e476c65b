// Stroke scripts: a recorded sequence of tool settings and pointer actions, replayed on a
// picture through the real tools and engine, turn by turn as the picture view drives them.
//
// One command a line; blanks separate the words. A line whose first word starts with '#' is a
// comment, and so is the rest of a line from a word that is just '#'. Commands:
//
//   canvas W H [#RRGGBB[AA]]   a blank picture of W x H (default opaque white) instead of the
//                              given one; only before every other command
//   seed N                     restarts the random sequence (a run starts with seed 1)
//   tool paint|erase|blur      switches the tool like the tool buttons: a stroke in progress is
//                              cancelled and all particles are erased
//   color fore|back #RRGGBB[AA]        the current tool's first or second colour
//   coloring single|gradation|cycle|random
//   usefore on|off
//   cyclelength N
//   spray NAME VALUE           a spray setting of the current tool by its settings name
//                              (Count, Size, Life, VelocityMode, VelocityX, UseSpin, ...);
//                              stored like the panels store it, so out-of-range values are
//                              clamped
//   general NAME VALUE         GravityType (0 or 1), GravityX, GravityY, Lively (0 to 1)
//   down X Y                   the left button goes down at picture position (X, Y)
//   move X Y                   the pointer moves to (X, Y); no turn passes
//   turn [N]                   N engine turns (default 1), each followed by the tool's turn
//                              event at the pointer position
//   drag X Y N                 N turns while the pointer moves in even steps to (X, Y)
//   up                         the left button goes up
//   settle                     turns until every particle has died
//
// Settings take effect at the next stroke, as they do from the panels. At the end of a script
// the button is released and the engine settles.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace app {

class Image;

// A script that cannot be read or run, with the line concerned (0: the script as a whole).
class StrokeScriptError : public std::runtime_error {
public:
  StrokeScriptError(int32_t line, const std::string &message);
  int32_t GetLine() const noexcept { return Line; }

private:
  int32_t Line;
};

struct STROKE_RESULT {
  int32_t Turns;     // engine turns run
  int64_t Particles; // particles the tools emitted (before the engine's own drops)
};

// Limits that keep a script's run finite.
enum : int32_t {
  StrokeScriptMaxTurns = 100000,     // turns of one turn, drag or settle command
  StrokeScriptMaxCanvasSide = 4096,  // canvas width and height
  StrokeScriptMaxCoordinate = 100000 // |X| and |Y| of pointer positions
};

struct StrokeScriptMember;

class StrokeScript {
public:
  StrokeScript();
  StrokeScript(const StrokeScript &) = delete;
  StrokeScript &operator=(const StrokeScript &) = delete;
  ~StrokeScript();

  // Reads a whole script; on an error throws StrokeScriptError naming the line, and the
  // script stays as it was.
  void Parse(const std::string &text);
  // Parse of a file's contents; a file that cannot be read throws StrokeScriptError line 0.
  void ParseFile(const std::string &path);

  // True when the script brings its own blank picture.
  bool HasCanvas() const;

  // Replays the script on the picture (replaced by the canvas, if the script has one; else
  // it must be 4 bytes a pixel) with a new engine, until every particle has died. Resets the
  // three tools' spray and colour settings, the general style and the current tool (Paint)
  // to their defaults first, so that a run depends only on the script. Throws
  // StrokeScriptError when particles outlive a settle, app::Exception from the engine.
  STROKE_RESULT Run(Image &picture) const;

private:
  std::unique_ptr<StrokeScriptMember> Member;
};

} // namespace app
