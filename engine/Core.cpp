#include "engine/Core.h"

#include "engine/ColorStyle.h"
#include "engine/GeneralStyle.h"
#include "foundation/Buffer.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "foundation/Random.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace app {

namespace {

// Columns of one grid row that may hold particles (a superset: every occupied cell lies
// inside), or, for a row of the drawing ring, the columns that may hold non-zero entries. A
// span with First > Last is empty. Passes visit only these columns, so a turn costs what its
// particles touch rather than the picture's area; cells and pixels outside would do nothing.
struct ROWSPAN {
  int32_t First;
  int32_t Last;
};

const ROWSPAN EmptySpan = {INT32_MAX, -1};

// Asks for the cache lines of a cell that a pass reads first: its count, which lies at the
// end of the cell, and its first slots. A pass walks the cells of a row 900 bytes apart and
// touches three lines of each, a pattern the hardware does not foresee by itself.
inline void PrefetchCell(const CELL *cell) {
#if defined(__GNUC__)
  __builtin_prefetch(&cell->Count);
  __builtin_prefetch(&cell->Slots[0]);
#else
  (void)cell;
#endif
}

void Widen(ROWSPAN &span, int32_t first, int32_t last) {
  if (first < span.First)
    span.First = first;
  if (last > span.Last)
    span.Last = last;
}

// The per-particle settings of an item that the forces pass reads for the first particle of a
// pair.
struct FORCE_SETTINGS {
  double Repulsion;
  double RepulsionArea;
  double Gravity;
  double GravityArea;
  double Brake;
  double Viscosity;
  double ViscosityArea;
  double LimitedSpeed;
  double SpinAngle;
  double SpinAngleWiggle;
  int32_t SpinStep;
  bool UseLimitedSpeed;
  bool UseSpin;
};

template <typename T> T Field(const PARTICLE_INFO_ITEM &item, size_t offset) {
  return KeyField<T>(item, offset);
}

#define BRUSHMOTE_FIELD(type, item, name) Field<type>(item, offsetof(SPRAYSTYLE, name))

void LoadForceSettings(const PARTICLE_INFO_ITEM &item, FORCE_SETTINGS &s) {
  s.Repulsion = BRUSHMOTE_FIELD(double, item, Repulsion);
  s.RepulsionArea = BRUSHMOTE_FIELD(double, item, RepulsionArea);
  s.Gravity = BRUSHMOTE_FIELD(double, item, Gravity);
  s.GravityArea = BRUSHMOTE_FIELD(double, item, gravityArea);
  s.Brake = BRUSHMOTE_FIELD(double, item, Brake);
  s.Viscosity = BRUSHMOTE_FIELD(double, item, Viscosity);
  s.ViscosityArea = BRUSHMOTE_FIELD(double, item, ViscosityArea);
  s.LimitedSpeed = BRUSHMOTE_FIELD(double, item, LimitedSpeed);
  s.SpinAngle = BRUSHMOTE_FIELD(double, item, SpinAngle);
  s.SpinAngleWiggle = BRUSHMOTE_FIELD(double, item, SpinAngleWiggle);
  s.SpinStep = BRUSHMOTE_FIELD(int32_t, item, SpinStep);
  s.UseLimitedSpeed = BRUSHMOTE_FIELD(bool, item, UseLimitedSpeed);
  s.UseSpin = BRUSHMOTE_FIELD(bool, item, UseSpin);
}

// P's side of the pair interactions of one forces pass.
struct PAIR_SOURCE {
  double X, Y; // P's fraction of its cell
  double VelocityX, VelocityY;
  const FORCE_SETTINGS *Settings;
  int32_t SettingsIndex;
  const PARTICLE_INFO_ITEM *Items;
};

// Interacts P (accumulator acc) with the particles from slot `from` on of a cell that lies
// (dc, dr) cells from P's, whose accumulators start at `row`. Every value is read into locals
// first, so that the stores into the neighbours' accumulators cannot force reloads.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void
Interact(const PAIR_SOURCE &source, SUM &acc, const CELL &other, int32_t from, int32_t dc,
         int32_t dr, SUM *row) {
  const int32_t count = other.Count;
  if (from >= count)
    return;
  const FORCE_SETTINGS &ps = *source.Settings;
  const double gravity = ps.Gravity;
  const double repulsion = ps.Repulsion;
  const double viscosity = ps.Viscosity;
  const double gravityArea = ps.GravityArea;
  const double repulsionArea = ps.RepulsionArea;
  const double viscosityArea = ps.ViscosityArea;
  const bool randomPush = gravity > 0 || repulsion > 0;
  const double px = dc - source.X;
  const double py = dr - source.Y;
  const double pvx = source.VelocityX;
  const double pvy = source.VelocityY;
  const double unit = 1.0 / FractionUnit;
  double forceX = acc.ForceX;
  double forceY = acc.ForceY;
  double flowX = acc.FlowX;
  double flowY = acc.FlowY;
  double flowWeight = acc.FlowWeight;
  for (int32_t j = from; j < count; ++j) {
    const PARTICLE &q = other.Slots[j];
    // (cell difference - P's fraction) + Q's fraction
    const double dx = px + q.FractionX * unit;
    const double dy = py + q.FractionY * unit;
    const double d2 = dx * dx + dy * dy;
    if (d2 > 1)
      continue;
    SUM &e = row[j];
    double fx, fy;
    if (d2 > 0) {
      // Q's strengths: most neighbours share P's settings.
      double qGravity = gravity;
      double qRepulsion = repulsion;
      double qViscosity = viscosity;
      if (q.SettingsIndex != source.SettingsIndex) {
        const PARTICLE_INFO_ITEM &qi = source.Items[q.SettingsIndex];
        qGravity = BRUSHMOTE_FIELD(double, qi, Gravity);
        qRepulsion = BRUSHMOTE_FIELD(double, qi, Repulsion);
        qViscosity = BRUSHMOTE_FIELD(double, qi, Viscosity);
      }
      const double d = std::sqrt(d2);
      double m = 0;
      const double t = 1 - d * gravityArea;
      if (t > 0)
        m += gravity * qGravity * t;
      const double u = 1 - d2 * repulsionArea;
      if (u > 0)
        m -= repulsion * qRepulsion * u;
      fx = m * dx / d;
      fy = m * dy / d;
      const double w = 1 - d * viscosityArea;
      if (w > 0) {
        const double qw = qViscosity * w;
        flowX += q.VelocityX * qw;
        flowY += q.VelocityY * qw;
        flowWeight += qw;
        const double pw = viscosity * w;
        e.FlowX += pvx * pw;
        e.FlowY += pvy * pw;
        e.FlowWeight += pw;
      }
    } else if (randomPush) {
      const int32_t r1 = Random();
      const int32_t r2 = Random();
      fx = r1 * 0.01 / 32767;
      fy = r2 * 0.01 / 32767;
    } else {
      fx = 0;
      fy = 0;
    }
    forceX += fx;
    forceY += fy;
    e.ForceX -= fx;
    e.ForceY -= fy;
  }
  acc.ForceX = forceX;
  acc.ForceY = forceY;
  acc.FlowX = flowX;
  acc.FlowY = flowY;
  acc.FlowWeight = flowWeight;
}

// Rotates a velocity by base angle a and a random spread s (radians); with both 0 nothing
// happens and no random number is drawn. Positive angles turn counter-clockwise on the screen
// (y points down).
void Rotate(double &vx, double &vy, double a, double s) {
  if (a == 0 && s == 0)
    return;
  double angle = a + s * Random() / 32767 - s / 2;
  double c = std::cos(angle);
  double n = std::sin(angle);
  double x = vx * c + vy * n;
  double y = -vx * n + vy * c;
  vx = x;
  vy = y;
}

uint32_t PixelAt(const unsigned char *p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int32_t Clamp(int32_t v, int32_t low, int32_t high) { return v < low ? low : v > high ? high : v; }

uint16_t FractionOf(double coordinate, int32_t cell) {
  // coordinate - cell lies in [0, 1), and scaling by 32768 is exact.
  return static_cast<uint16_t>((coordinate - cell) * FractionUnit);
}

// The drawing accumulator is kept as two planes with the same layout (ring row y % 64, entry x
// of the row): the coverages (uint16) and the mean colours (RGBA uint32). The threshold test of
// the flush and the coverage sums of the stamps touch only the small coverage plane, eight
// entries to a 16-byte vector. A colour means something only while its coverage is above 0:
// an entry with coverage 0 counts as all zero whatever its colour plane holds, so clearing a
// flushed row clears its coverages alone.

// Stamps one row of brush weights into `count` accumulator entries.
void StampRow(uint16_t *coverages, uint32_t *colours, const unsigned char *weights, int32_t count,
              uint32_t color) {
  const uint32_t a = color >> 24;
  for (int32_t x = 0; x < count; ++x) {
    const uint32_t b = weights[x];
    if (b == 0)
      continue; // nothing changes
    const uint32_t n = coverages[x];
    uint32_t mean = colours[x];
    if (n == 0) {
      // A fresh entry (all zero) takes the colour; for a transparent colour it stays zero.
      mean = a != 0 ? color : 0;
    } else if (mean != color) {
      // Weighted means of the entry and the stamp.
      const uint32_t A = n * (mean >> 24);
      const uint32_t B = b * a;
      if (B > 0) {
        if (A > 0) {
          // At most 255 * 65535 * 255 + 255 * 255 * 255 < 2^32.
          const uint32_t AB = A + B;
          uint32_t r = ((mean & 0xFF) * A + (color & 0xFF) * B) / AB;
          uint32_t g = ((mean >> 8 & 0xFF) * A + (color >> 8 & 0xFF) * B) / AB;
          uint32_t bl = ((mean >> 16 & 0xFF) * A + (color >> 16 & 0xFF) * B) / AB;
          mean = (mean & 0xFF000000u) | r | g << 8 | bl << 16;
        } else {
          mean = color;
        }
      }
      mean = (mean & 0x00FFFFFFu) | (A + B) / (b + n) << 24;
    }
    // (Otherwise the entry's own colour is stamped again, which keeps the means.)
    colours[x] = mean;
    const uint32_t coverage = n + b;
    coverages[x] = static_cast<uint16_t>(coverage > 65535 ? 65535 : coverage);
  }
}

#if defined(__SSE2__)
// Per brush row, one vector of the 8 weights as 16-bit lanes, then one vector with all-ones in
// the lane of each weight that is not 0.
enum { LaneBytes = 32, LaneTableBytes = BrushPhases * BrushSide * LaneBytes };

void BuildBrushLanes(const unsigned char *brushes, unsigned char *lanes) {
  for (int32_t row = 0; row < BrushPhases * BrushSide; ++row) {
    uint16_t values[2 * BrushSide] = {};
    for (int32_t x = 0; x < BrushSide; ++x) {
      const uint16_t b = brushes[row * BrushSide + x];
      values[x] = b;
      values[BrushSide + x] = b != 0 ? 0xFFFF : 0;
    }
    std::memcpy(lanes + row * LaneBytes, values, LaneBytes);
  }
}

// The colour-dependent constants of one stamp.
struct STAMP_VECTORS {
  __m128i Colours; // the colour in every 32-bit lane
  __m128i Fresh;   // what a fresh entry becomes: the colour, or 0 for a transparent colour
};

// Stamps a whole row of 8 entries when no entry needs a weighted mean (each is fresh,
// unstamped, or holds exactly this colour); false, with nothing changed, when some entry does.
// The coverages are one vector; the colours (two vectors) are written only when some stamped
// entry is fresh, since stamping an entry's own colour again keeps its mean.
inline bool StampRowOfOneColour(uint16_t *coverages, uint32_t *colours, const unsigned char *lane,
                                const STAMP_VECTORS &v) {
  __m128i *coverageVector = reinterpret_cast<__m128i *>(coverages);
  __m128i *colourVectors = reinterpret_cast<__m128i *>(colours);
  const __m128i n = _mm_loadu_si128(coverageVector);
  const __m128i c0 = _mm_loadu_si128(colourVectors);
  const __m128i c1 = _mm_loadu_si128(colourVectors + 1);
  const __m128i stamped = _mm_loadu_si128(reinterpret_cast<const __m128i *>(lane + 16));
  const __m128i fresh = _mm_cmpeq_epi16(n, _mm_setzero_si128());
  // Colour equality of each entry, packed from 32-bit to 16-bit lanes like the coverages.
  const __m128i same =
      _mm_packs_epi32(_mm_cmpeq_epi32(c0, v.Colours), _mm_cmpeq_epi32(c1, v.Colours));
  if (_mm_movemask_epi8(_mm_andnot_si128(_mm_or_si128(fresh, same), stamped)) != 0)
    return false;
  const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(lane));
  _mm_storeu_si128(coverageVector, _mm_adds_epu16(n, w)); // saturating at 65535
  const __m128i take = _mm_and_si128(fresh, stamped);
  if (_mm_movemask_epi8(take) != 0) {
    const __m128i take0 = _mm_unpacklo_epi16(take, take);
    const __m128i take1 = _mm_unpackhi_epi16(take, take);
    _mm_storeu_si128(colourVectors,
                     _mm_or_si128(_mm_and_si128(take0, v.Fresh), _mm_andnot_si128(take0, c0)));
    _mm_storeu_si128(colourVectors + 1,
                     _mm_or_si128(_mm_and_si128(take1, v.Fresh), _mm_andnot_si128(take1, c1)));
  }
  return true;
}
#endif

} // namespace

struct CoreMember {
  ParticleInfoList ParticleInfos;
  Buffer<SUM> Sums[2];
  int32_t PictureWidth = 0;
  int32_t PictureHeight = 0;
  int32_t OffsetX = 0;
  int32_t OffsetY = 0;
  int32_t Columns = 0;
  int32_t Rows = 0;
  Buffer<CELL> Cells;
  Buffer<CELL> NextCells;
  // The drawing accumulator's two planes, DrawRingRows rows of RingStride entries each.
  Buffer<uint16_t> Coverages;
  Buffer<uint32_t> MeanColours;
  // Entries from one ring row to the next: the picture's width and 8 more, so that the rows of
  // a stamp do not all fall into the same few cache sets when the width is a power of two, and
  // so that the flush may read eight coverages from any column of the picture (the extra
  // entries are never stamped: their coverage stays 0).
  int32_t RingStride = 0;
  Buffer<unsigned char> Brushes;
  Buffer<unsigned char> BrushLanes; // the brushes laid out for the vector stamp (SSE2 only)
  int32_t Mode = ModePaint;
  // Occupied column spans of the rows of Cells and NextCells, and the written spans of the
  // drawing ring's bands of DrawBandRows rows (ring row i belongs to band i / DrawBandRows). A
  // stamp's 8 rows touch at most two bands, so that a stamp widens two spans instead of eight;
  // the flush scans a row over its band's span (a superset of the row's own) and empties the
  // span with the band's last row.
  Buffer<ROWSPAN> CellSpans;
  Buffer<ROWSPAN> NextCellSpans;
  enum { DrawBandRows = 8, DrawBands = DrawRingRows / DrawBandRows };
  ROWSPAN DrawSpans[DrawBands];
  // The move pass's writable views of NextCells and NextCellSpans.
  CELL *NextCellItems = nullptr;
  ROWSPAN *NextSpanItems = nullptr;
  int32_t ParticleCount = 0;

  // The draw pass's views of the planes and brushes, taken once a pass.
  uint16_t *CoverageItems = nullptr;
  uint32_t *ColourItems = nullptr;
  const unsigned char *BrushItems = nullptr;
  const unsigned char *LaneItems = nullptr;
  // The colours stamped so far in the current draw pass. While every stamp has had one colour
  // C, every entry with coverage above 0 holds the same mean: C, or 0 for a transparent C
  // (stamping an entry's own colour again keeps its means). The stamps then add coverages
  // alone and the flush takes that mean without reading the colour plane. The first stamp of
  // another colour writes the mean into the colour plane for every entry still buffered, and
  // from there on to the end of the pass the colour plane is kept up to date.
  enum { PassNoColour, PassOneColour, PassMixedColours };
  int32_t PassColours = PassNoColour;
  uint32_t PassColour = 0;

  CoreMember() {
    for (ROWSPAN &s : DrawSpans)
      s = EmptySpan;
  }

  bool IsInterior(double x, double y) const {
    // Also false for NaN.
    return x >= 1 && x < Columns - 1 && y >= 1 && y < Rows - 1;
  }

  void DropReferences(int32_t index, int32_t count) {
    if (count > 0) {
      for (int32_t i = 0; i < count; ++i)
        ParticleInfos.AddReference(index);
    } else if (count < 0) {
      ParticleInfos.Release(index);
    }
  }

  // Drawing.
  void WriteOutPassColour();
  void Stamp(PARTICLE &p, int32_t column, int32_t row, uint32_t color, unsigned char *bits,
             int32_t stride);
  void FlushRows(int32_t from, int32_t to, unsigned char *bits, int32_t stride);
  // Moving.
  int32_t Place(const PARTICLE &p, int32_t column, int32_t row, double angle, double spread,
                int32_t generations, double lively);
};

Core::Core() : Member(new CoreMember) {}

Core::~Core() = default;

namespace {

void BuildBrushes(unsigned char *brushes) {
  unsigned char source[BrushSourceSide][BrushSourceSide];
  const double pi = 3.14159265358979323846;
  for (int32_t i = 0; i < BrushSourceSide; ++i) {
    for (int32_t j = 0; j < BrushSourceSide; ++j) {
      double a = static_cast<int32_t>(j - 14.5);
      double b = static_cast<int32_t>(i - 14.5);
      double q = std::sqrt(a * a + b * b) / 14.5;
      double value = 0;
      if (q < 1) {
        value = 0.5 * (1 - std::cos((1 - q) * pi)) * 255 + 1;
        if (value > 255)
          value = 255;
      }
      source[i][j] = static_cast<unsigned char>(value);
    }
  }
  for (int32_t fy = 0; fy < 4; ++fy) {
    for (int32_t fx = 0; fx < 4; ++fx) {
      unsigned char *table = brushes + (4 * fy + fx) * BrushSide * BrushSide;
      for (int32_t y = 0; y < BrushSide; ++y) {
        for (int32_t x = 0; x < BrushSide; ++x) {
          int32_t sum = 0;
          for (int32_t k = 0; k < 4; ++k)
            for (int32_t l = 0; l < 4; ++l)
              sum += source[4 * y + k + 4 - fy][4 * x + l + 4 - fx];
          table[y * BrushSide + x] = static_cast<unsigned char>(sum / 16);
        }
      }
    }
  }
}

} // namespace

void Core::SetPictureSize(int32_t width, int32_t height) {
  if (width < 0 || height < 0)
    throw Exception(ErrorImageSize);
  // Every size first, range-tested, so that an overflow changes nothing.
  const int32_t columns = AddInts(AddInts(width, 15) / 16, 3);
  const int32_t rows = AddInts(AddInts(height, 15) / 16, 3);
  const int32_t offsetX = SubtractInts(MultiplyInts(columns, CellPixels), width) / 2;
  const int32_t offsetY = SubtractInts(MultiplyInts(rows, CellPixels), height) / 2;
  const int32_t cellBytes =
      MultiplyInts(MultiplyInts(columns, rows), static_cast<int32_t>(sizeof(CELL)));
  const int32_t sumBytes =
      MultiplyInts(MultiplyInts(columns, CellCapacity), static_cast<int32_t>(sizeof(SUM)));
  const int32_t ringStride = width > 0 ? AddInts(width, 8) : 0;
  const int32_t ringEntries = MultiplyInts(ringStride, DrawRingRows);
  const int32_t coverageBytes = MultiplyInts(ringEntries, static_cast<int32_t>(sizeof(uint16_t)));
  const int32_t colourBytes = MultiplyInts(ringEntries, static_cast<int32_t>(sizeof(uint32_t)));
  const int32_t spanBytes = MultiplyInts(rows, static_cast<int32_t>(sizeof(ROWSPAN)));
  // Sanity of the pixel arithmetic of the passes: the grid's pixel extent fits an int32.
  MultiplyInts(AddInts(columns, 1), CellPixels);
  MultiplyInts(AddInts(rows, 1), CellPixels);

  // Then the new buffers, so that running out of memory changes nothing either.
  Buffer<unsigned char> brushes;
  brushes.Allocate(BrushPhases * BrushSide * BrushSide);
  BuildBrushes(brushes.GetWritableItems());
  Buffer<unsigned char> brushLanes;
#if defined(__SSE2__)
  brushLanes.Allocate(LaneTableBytes);
  BuildBrushLanes(brushes.GetItems(), brushLanes.GetWritableItems());
#endif
  Buffer<uint16_t> coverages;
  coverages.Allocate(coverageBytes);
  Buffer<uint32_t> meanColours;
  meanColours.Allocate(colourBytes);
  Buffer<CELL> cells, nextCells;
  cells.Allocate(cellBytes);
  nextCells.Allocate(cellBytes);
  Buffer<SUM> sums[2];
  sums[0].Allocate(sumBytes);
  sums[1].Allocate(sumBytes);
  Buffer<ROWSPAN> spans, nextSpans;
  spans.Allocate(spanBytes);
  nextSpans.Allocate(spanBytes);

  for (UCharBuffer *b :
       {static_cast<UCharBuffer *>(&coverages), static_cast<UCharBuffer *>(&meanColours),
        static_cast<UCharBuffer *>(&cells), static_cast<UCharBuffer *>(&nextCells),
        static_cast<UCharBuffer *>(&sums[0]), static_cast<UCharBuffer *>(&sums[1])})
    if (!b->IsEmpty()) // a picture 0 pixels wide has no drawing accumulator
      std::memset(b->GetWritableData(), 0, static_cast<size_t>(b->GetLength()));
  ROWSPAN *s = spans.GetWritableItems();
  ROWSPAN *n = nextSpans.GetWritableItems();
  for (int32_t r = 0; r < rows; ++r)
    s[r] = n[r] = EmptySpan;

  EraseAllParticles();
  CoreMember &m = *Member;
  m.PictureWidth = width;
  m.RingStride = ringStride;
  m.PictureHeight = height;
  m.Brushes.Swap(brushes);
  m.BrushLanes.Swap(brushLanes);
  m.Coverages.Swap(coverages);
  m.MeanColours.Swap(meanColours);
  for (ROWSPAN &span : m.DrawSpans)
    span = EmptySpan;
  m.Columns = columns;
  m.Rows = rows;
  m.OffsetX = offsetX;
  m.OffsetY = offsetY;
  m.Cells.Swap(cells);
  m.NextCells.Swap(nextCells);
  m.Sums[0].Swap(sums[0]);
  m.Sums[1].Swap(sums[1]);
  m.CellSpans.Swap(spans);
  m.NextCellSpans.Swap(nextSpans);
  m.ParticleCount = 0;
}

void Core::SetMode(int32_t mode) {
  if (mode < ModePaint || mode > ModeBlur)
    throw std::out_of_range("engine mode");
  EraseAllParticles();
  Member->Mode = mode;
}

int32_t Core::GetMode() const { return Member->Mode; }

void Core::Turn(Image &picture) {
  Draw(picture);
  ComputeForces();
  Move();
}

// ---- Drawing ----

void CoreMember::Stamp(PARTICLE &p, int32_t column, int32_t row, uint32_t color,
                       unsigned char *bits, int32_t stride) {
  const int32_t width = PictureWidth;
  const int32_t height = PictureHeight;
  // Picture position 16 * (cell + fraction / 32768) - offset: the integer part and the quarter
  // pixel come straight from the fraction's bits.
  const int32_t ix = column * CellPixels - OffsetX + (p.FractionX >> 11);
  const int32_t iy = row * CellPixels - OffsetY + (p.FractionY >> 11);
  const int32_t fx = (p.FractionX >> 9) & 3;
  const int32_t fy = (p.FractionY >> 9) & 3;

  if (Mode == ModeBlur) {
    // Picked up now, deposited from the next turn on.
    const int32_t sx = Clamp(ix, 0, width - 1);
    const int32_t sy = Clamp(iy, 0, height - 1);
    p.Sample = PixelAt(bits + static_cast<ptrdiff_t>(sy) * stride + sx * 4);
  }

  const int32_t x0 = ix - 4;
  const int32_t y0 = iy - 4;
  const int32_t left = x0 < 0 ? 0 : x0;
  const int32_t right = x0 + BrushSide > width ? width : x0 + BrushSide;
  const int32_t top = y0 < 0 ? 0 : y0;
  const int32_t bottom = y0 + BrushSide > height ? height : y0 + BrushSide;
  if (left >= right || top >= bottom)
    return;

  if (PassColours != PassMixedColours) {
    if (PassColours == PassNoColour) {
      PassColours = PassOneColour;
      PassColour = color;
    } else if (color != PassColour) {
      WriteOutPassColour();
      PassColours = PassMixedColours;
    }
  }

  const int32_t table = 4 * fy + fx;
  const unsigned char *brush = BrushItems + table * BrushSide * BrushSide + (left - x0);
  // Local copies: the stores into the planes could otherwise alias the member.
  const ptrdiff_t ringStride = RingStride;
  uint16_t *coverages = CoverageItems + left;
  uint32_t *colours = ColourItems + left;
  // y >= 0 here, so the ring row is its low bits.
  static_assert((DrawRingRows & (DrawRingRows - 1)) == 0, "the ring has a power-of-two rows");
  static_assert(int(BrushSide) <= int(DrawBandRows), "a stamp touches at most two bands");
  Widen(DrawSpans[(top & (DrawRingRows - 1)) / DrawBandRows], left, right - 1);
  Widen(DrawSpans[((bottom - 1) & (DrawRingRows - 1)) / DrawBandRows], left, right - 1);
  if (PassColours == PassOneColour) {
    // Every entry stamped in this pass has this colour: coverages alone.
#if defined(__SSE2__)
    if (right - left == BrushSide) {
      const unsigned char *lanes = LaneItems + (table * BrushSide + (top - y0)) * LaneBytes;
      for (int32_t y = top; y < bottom; ++y, lanes += LaneBytes) {
        __m128i *v = reinterpret_cast<__m128i *>(coverages + (y & (DrawRingRows - 1)) * ringStride);
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(lanes));
        _mm_storeu_si128(v, _mm_adds_epu16(_mm_loadu_si128(v), w)); // saturating at 65535
      }
      return;
    }
#endif
    for (int32_t y = top; y < bottom; ++y) {
      uint16_t *e = coverages + (y & (DrawRingRows - 1)) * ringStride;
      const unsigned char *weights = brush + (y - y0) * BrushSide;
      for (int32_t x = 0; x < right - left; ++x) {
        const uint32_t coverage = e[x] + uint32_t(weights[x]);
        e[x] = static_cast<uint16_t>(coverage > 65535 ? 65535 : coverage);
      }
    }
    return;
  }
#if defined(__SSE2__)
  if (right - left == BrushSide) {
    // Whole rows: the vector stamp, falling back to the entry by entry one for a row that needs
    // weighted means.
    const STAMP_VECTORS v = {_mm_set1_epi32(static_cast<int32_t>(color)),
                             _mm_set1_epi32((color >> 24) == 0 ? 0 : static_cast<int32_t>(color))};
    const unsigned char *lanes = LaneItems + (table * BrushSide + (top - y0)) * LaneBytes;
    for (int32_t y = top; y < bottom; ++y, lanes += LaneBytes) {
      const ptrdiff_t at = (y & (DrawRingRows - 1)) * ringStride;
      if (!StampRowOfOneColour(coverages + at, colours + at, lanes, v))
        StampRow(coverages + at, colours + at, brush + (y - y0) * BrushSide, BrushSide, color);
    }
    return;
  }
#endif
  for (int32_t y = top; y < bottom; ++y) {
    const ptrdiff_t at = (y & (DrawRingRows - 1)) * ringStride;
    StampRow(coverages + at, colours + at, brush + (y - y0) * BrushSide, right - left, color);
  }
}

void CoreMember::WriteOutPassColour() {
  const uint32_t mean = (PassColour >> 24) != 0 ? PassColour : 0;
  for (int32_t i = 0; i < DrawRingRows; ++i) {
    const ROWSPAN span = DrawSpans[i / DrawBandRows];
    uint32_t *colours = ColourItems + static_cast<ptrdiff_t>(i) * RingStride;
    for (int32_t x = span.First; x <= span.Last; ++x)
      colours[x] = mean;
  }
}

namespace {

inline int32_t LowestSetBit(uint32_t x) {
#if defined(__GNUC__)
  return __builtin_ctz(x);
#else
  int32_t n = 0;
  while ((x & 1u) == 0) {
    x >>= 1;
    ++n;
  }
  return n;
#endif
}

// Blends one accumulator entry into its picture pixel (RGBA) when its coverage passes 180.
inline void BlendEntry(uint32_t coverage, uint32_t mean, unsigned char *p, bool erase) {
  if (coverage <= 180)
    return;
  const uint32_t w = coverage - 180 > 256 ? 256 : coverage - 180;
  const uint32_t ea = mean >> 24;
  if (ea == 0)
    return;
  const uint32_t t = w * (ea + 1); // 1 .. 65536
  const uint32_t pa = p[3];
  if (erase) {
    p[3] = static_cast<unsigned char>(((65536 - t) * pa) >> 16);
    return;
  }
  if (((PixelAt(p) ^ mean) & 0x00FFFFFFu) != 0) { // (the same colour stays as it is)
    const uint32_t A = pa * 256;
    const uint32_t At = A + t;
    p[0] = static_cast<unsigned char>((p[0] * A + (mean & 0xFF) * t) / At);
    p[1] = static_cast<unsigned char>((p[1] * A + (mean >> 8 & 0xFF) * t) / At);
    p[2] = static_cast<unsigned char>((p[2] * A + (mean >> 16 & 0xFF) * t) / At);
  }
  p[3] = static_cast<unsigned char>(((65536 - t) * pa + t * 255) >> 16);
}

#if defined(__SSE2__)
// Blends the entries of `lanes` (two mask bits an entry, as _mm_movemask_epi8 gives them for
// 16-bit lanes) one by one.
inline void BlendLanes(uint32_t lanes, const uint16_t *coverages, const uint32_t *colours,
                       unsigned char *pixels, bool erase) {
  lanes &= 0x5555u;
  while (lanes != 0) {
    const int32_t i = LowestSetBit(lanes) / 2;
    lanes &= lanes - 1;
    BlendEntry(coverages[i], colours[i], pixels + i * 4, erase);
  }
}

// Blends eight accumulator entries into eight picture pixels, with the arithmetic of
// BlendEntry in 16-bit lanes; the entries' means are c0 (entries 0 to 3) and c1 (4 to 7). Most
// blended pixels in a stroke already hold the colour laid on them, and then only the alpha
// changes: that is done for all eight at once, without a branch per pixel. Pixels of another
// colour need the divisions of the weighted mean and go entry by entry (colours points to their
// means), after the vector part has left them untouched. Inlined into the flush loops, so that
// what depends on the means alone leaves the loop when they are the same for every entry.
template <bool Erase>
inline void BlendEight(__m128i coverage, __m128i c0, __m128i c1, const uint32_t *colours,
                       unsigned char *pixels) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(256);
  const __m128i alphaByte = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  __m128i *pixelVectors = reinterpret_cast<__m128i *>(pixels);
  const __m128i p0 = _mm_loadu_si128(pixelVectors);
  const __m128i p1 = _mm_loadu_si128(pixelVectors + 1);
  // w = min(coverage - 180, 256), or 0 at or below 180.
  const __m128i over = _mm_subs_epu16(coverage, _mm_set1_epi16(180));
  const __m128i w = _mm_sub_epi16(full, _mm_subs_epu16(full, over));
  const __m128i ea = _mm_packs_epi32(_mm_srli_epi32(c0, 24), _mm_srli_epi32(c1, 24));
  const __m128i pa = _mm_packs_epi32(_mm_srli_epi32(p0, 24), _mm_srli_epi32(p1, 24));
  const __m128i eaZero = _mm_cmpeq_epi16(ea, zero);
  // t = w * (ea + 1), 0 when w or ea is 0, lies in 0 .. 65536: its low 16 bits, and whether it
  // is 65536.
  const __m128i tLow =
      _mm_andnot_si128(eaZero, _mm_mullo_epi16(w, _mm_sub_epi16(ea, _mm_cmpeq_epi16(zero, zero))));
  const __m128i tFull =
      _mm_and_si128(_mm_cmpeq_epi16(w, full), _mm_cmpeq_epi16(ea, _mm_set1_epi16(255)));
  // The change of each pixel's alpha, 0 where nothing is blended.
  __m128i delta;
  uint32_t oneByOne = 0;
  if (Erase) {
    // ((65536 - t) * pa) >> 16, where 65536 - t (t above 0) fits 16 bits.
    const __m128i idle = _mm_or_si128(_mm_cmpeq_epi16(w, zero), eaZero);
    delta =
        _mm_andnot_si128(idle, _mm_sub_epi16(_mm_mulhi_epu16(_mm_sub_epi16(zero, tLow), pa), pa));
  } else {
    // Pixels whose red, green and blue equal the mean's.
    const __m128i sameColour =
        _mm_packs_epi32(_mm_cmpeq_epi32(_mm_or_si128(p0, alphaByte), _mm_or_si128(c0, alphaByte)),
                        _mm_cmpeq_epi32(_mm_or_si128(p1, alphaByte), _mm_or_si128(c1, alphaByte)));
    const __m128i idle = _mm_or_si128(_mm_cmpeq_epi16(w, zero), eaZero);
    oneByOne = ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_or_si128(sameColour, idle))) & 0xFFFFu;
    // ((65536 - t) * pa + t * 255) >> 16 = pa + (t * (255 - pa)) >> 16, since 65536 * pa
    // leaves the low 16 bits alone; t * d >> 16 is the high half of tLow * d, plus d when t is
    // 65536. Both are 0 where t is 0.
    const __m128i d = _mm_sub_epi16(_mm_set1_epi16(255), pa);
    delta =
        _mm_and_si128(sameColour, _mm_add_epi16(_mm_mulhi_epu16(tLow, d), _mm_and_si128(tFull, d)));
  }
  // Added to the alpha bytes: the change moved to the top byte of each pixel (it stays within
  // 0 .. 255 there, so nothing carries into or out of that byte).
  _mm_storeu_si128(pixelVectors,
                   _mm_add_epi32(p0, _mm_slli_epi32(_mm_unpacklo_epi16(zero, delta), 8)));
  _mm_storeu_si128(pixelVectors + 1,
                   _mm_add_epi32(p1, _mm_slli_epi32(_mm_unpackhi_epi16(zero, delta), 8)));
  if (oneByOne != 0) {
    uint16_t coverages[8];
    _mm_storeu_si128(reinterpret_cast<__m128i *>(coverages), coverage);
    BlendLanes(oneByOne, coverages, colours, pixels, false);
  }
}

// Flushes the entries first .. last of one ring row into a picture row and clears their
// coverages, eight coverages to a vector; the ring row's padding lets the last eight reach past
// the picture's width. With OneColour every entry's mean is means[0] (means holds eight of
// them); otherwise means holds the row's means from entry `first` on.
template <bool OneColour, bool Erase>
void FlushRow(uint16_t *coverages, int32_t first, int32_t last, const uint32_t *means,
              unsigned char *pixels, int32_t width) {
  const __m128i zero = _mm_setzero_si128();
  __m128i c0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(means));
  __m128i c1 = c0;
  for (int32_t x = first; x <= last; x += 8) {
    __m128i *v = reinterpret_cast<__m128i *>(coverages + x);
    const __m128i n = _mm_loadu_si128(v);
    const uint32_t *entryMeans = OneColour ? means : means + (x - first);
    if (!OneColour) {
      c0 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(entryMeans));
      c1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(entryMeans + 4));
    }
    if (x + 8 <= width) {
      // Every group, without testing for an entry past the threshold first: in a dense stroke
      // over a third of the groups have one, in no foreseeable pattern, and the mispredicted
      // test cost more than the blend it saved.
      BlendEight<Erase>(n, c0, c1, entryMeans, pixels + x * 4);
    } else {
      // Not eight picture pixels left to load: entry by entry.
      const uint32_t passing = static_cast<uint32_t>(
          ~_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(n, _mm_set1_epi16(180)), zero)) &
          0xFFFF);
      BlendLanes(passing, coverages + x, entryMeans, pixels + x * 4, Erase);
    }
    _mm_storeu_si128(v, zero);
  }
}
#endif

} // namespace

void CoreMember::FlushRows(int32_t from, int32_t to, unsigned char *bits, int32_t stride) {
  const bool erase = Mode == ModeErase;
  const int32_t width = PictureWidth;
  // While the pass has stamped one colour, every entry's mean comes from here instead of the
  // colour plane.
  const bool oneColour = PassColours != PassMixedColours;
  uint32_t passMeans[8];
  for (uint32_t &mean : passMeans)
    mean = (PassColour >> 24) != 0 ? PassColour : 0;
  for (int32_t y = from; y < to; ++y) {
    const int32_t ringRow = y & (DrawRingRows - 1); // y >= 0
    ROWSPAN &span = DrawSpans[ringRow / DrawBandRows];
    if (span.First > span.Last)
      continue; // no stamp reached this band: every coverage is 0
    uint16_t *coverages = CoverageItems + static_cast<ptrdiff_t>(ringRow) * RingStride;
    const uint32_t *colours = ColourItems + static_cast<ptrdiff_t>(ringRow) * RingStride;
    unsigned char *pixels = bits + static_cast<ptrdiff_t>(y) * stride;
#if defined(__SSE2__)
    if (oneColour) {
      if (erase)
        FlushRow<true, true>(coverages, span.First, span.Last, passMeans, pixels, width);
      else
        FlushRow<true, false>(coverages, span.First, span.Last, passMeans, pixels, width);
    } else {
      if (erase)
        FlushRow<false, true>(coverages, span.First, span.Last, colours + span.First, pixels,
                              width);
      else
        FlushRow<false, false>(coverages, span.First, span.Last, colours + span.First, pixels,
                               width);
    }
#else
    for (int32_t x = span.First; x <= span.Last; ++x)
      BlendEntry(coverages[x], oneColour ? passMeans[0] : colours[x], pixels + x * 4, erase);
    std::memset(coverages + span.First, 0,
                static_cast<size_t>(span.Last - span.First + 1) * sizeof(uint16_t));
#endif
    // The band's last row, or the picture's: no stamp of this pass reaches the band again (a
    // pass ends with the picture's last row).
    if (ringRow % DrawBandRows == DrawBandRows - 1 || y == PictureHeight - 1)
      span = EmptySpan;
  }
}

void Core::Draw(Image &picture) {
  CoreMember &m = *Member;
  if (picture.GetWidth() != m.PictureWidth || picture.GetHeight() != m.PictureHeight ||
      (picture.GetBytesPerPixel() != 4 && m.PictureWidth > 0 && m.PictureHeight > 0))
    throw Exception(ErrorImageSize);
  const int32_t height = m.PictureHeight;
  if (m.PictureWidth <= 0 || height <= 0)
    return; // nothing to paint on, nothing to pick up
  unsigned char *bits = picture.GetWritableBits();
  const int32_t stride = picture.GetStride();
  const PARTICLE_INFO_ITEM *items = m.ParticleInfos.GetItems();
  const ROWSPAN *spans = m.CellSpans.GetItems();
  CELL *cells = m.Cells.GetWritableItems();
  m.CoverageItems = m.Coverages.GetWritableItems();
  m.ColourItems = m.MeanColours.GetWritableItems();
  m.BrushItems = m.Brushes.GetItems();
  m.LaneItems = m.BrushLanes.GetItems();
  // Every coverage is 0 here (the previous pass flushed every row).
  m.PassColours = CoreMember::PassNoColour;

  int32_t cachedIndex = -1;
  COLORSTYLE color = {};
  int32_t life = 0;
  int32_t done = 0;
  for (int32_t r = 0; r < m.Rows; ++r) {
    const ROWSPAN span = spans[r];
    for (int32_t c = span.First; c <= span.Last; ++c) {
      CELL &cell = cells[static_cast<ptrdiff_t>(r) * m.Columns + c];
      PrefetchCell(&cell + 2); // inside the grid: the last row of cells is border
      for (int32_t k = 0; k < cell.Count; ++k) {
        PARTICLE &p = cell.Slots[k];
        if (p.SettingsIndex != cachedIndex) {
          cachedIndex = p.SettingsIndex;
          const PARTICLE_INFO_ITEM &item = items[cachedIndex];
          std::memcpy(&color, item.Key + offsetof(SPRAYSTYLE, Color), sizeof color);
          life = BRUSHMOTE_FIELD(int32_t, item, Life);
        }
        const uint32_t c32 = ParticleColor(color, life, p.Age, m.Mode, p.Sample);
        m.Stamp(p, c, r, c32, bits, stride);
      }
    }
    // No particle of a later grid row reaches above row d: a stamp starts 4 rows above it.
    int32_t d = (r + 1) * CellPixels - m.OffsetY - 4;
    if (d > height)
      d = height;
    if (d > done) {
      m.FlushRows(done, d, bits, stride);
      done = d;
    }
  }
  m.FlushRows(done, height, bits, stride);
}

// ---- Forces ----

void Core::ComputeForces() {
  CoreMember &m = *Member;
  if (m.Rows == 0)
    return;
  const GENERALSTYLE &general = GetGeneralStyle();
  const PARTICLE_INFO_ITEM *items = m.ParticleInfos.GetItems();
  const ROWSPAN *spans = m.CellSpans.GetItems();
  CELL *cells = m.Cells.GetWritableItems();
  const int32_t columns = m.Columns;
  const double unit = 1.0 / FractionUnit;

  int32_t cachedIndex = -1;
  FORCE_SETTINGS ps = {};
  for (int32_t r = 0; r < m.Rows; ++r) {
    const ROWSPAN span = spans[r];
    if (span.First > span.Last)
      continue;
    SUM *sums = m.Sums[r % 2].GetWritableItems();
    SUM *nextSums = m.Sums[(r + 1) % 2].GetWritableItems();
    for (int32_t c = span.First; c <= span.Last; ++c) {
      CELL &cell = cells[static_cast<ptrdiff_t>(r) * columns + c];
      const int32_t count = cell.Count;
      for (int32_t k = 0; k < count; ++k) {
        PARTICLE &p = cell.Slots[k];
        if (p.SettingsIndex != cachedIndex) {
          cachedIndex = p.SettingsIndex;
          LoadForceSettings(items[cachedIndex], ps);
        }
        SUM &s = sums[c * CellCapacity + k];
        const double pfx = p.FractionX * unit;
        const double pfy = p.FractionY * unit;
        const double pvx = p.VelocityX;
        const double pvy = p.VelocityY;
        PAIR_SOURCE source = {pfx, pfy, pvx, pvy, &ps, cachedIndex, items};
        SUM acc = s; // P's accumulator, with the shares of the particles before it
        const CELL *here = &cell;
        const CELL *below = here + columns;
        Interact(source, acc, here[0], k + 1, 0, 0, sums + c * CellCapacity);
        Interact(source, acc, here[1], 0, 1, 0, sums + (c + 1) * CellCapacity);
        Interact(source, acc, below[-1], 0, -1, 1, nextSums + (c - 1) * CellCapacity);
        Interact(source, acc, below[0], 0, 0, 1, nextSums + c * CellCapacity);
        Interact(source, acc, below[1], 0, 1, 1, nextSums + (c + 1) * CellCapacity);

        double vx = pvx;
        double vy = pvy;
        if (ps.UseSpin && p.Age != 0 && ps.SpinStep > 0 && p.Age % ps.SpinStep == 0)
          Rotate(vx, vy, ps.SpinAngle, ps.SpinAngleWiggle);
        const double weight = acc.FlowWeight;
        if (weight > 0) {
          const double meanX = acc.FlowX / weight;
          const double meanY = acc.FlowY / weight;
          const double t = ps.Viscosity * (weight < 1 ? weight : 1);
          vx = (1 - t) * vx + t * meanX;
          vy = (1 - t) * vy + t * meanY;
        }
        vx += acc.ForceX;
        vy += acc.ForceY;
        double gx, gy;
        GravityAt(general, c + pfx, r + pfy, m.Columns, m.Rows, gx, gy);
        vx += gx;
        vy += gy;
        if (ps.Brake < 1) {
          vx *= ps.Brake;
          vy *= ps.Brake;
        }
        if (ps.UseLimitedSpeed) {
          const double speed = std::sqrt(vx * vx + vy * vy);
          if (speed > ps.LimitedSpeed) {
            vx *= ps.LimitedSpeed / speed;
            vy *= ps.LimitedSpeed / speed;
          }
        }
        p.VelocityX = static_cast<float>(vx);
        p.VelocityY = static_cast<float>(vy);
        s = SUM{};
      }
    }
  }
}

// ---- Moving ----

int32_t CoreMember::Place(const PARTICLE &p, int32_t column, int32_t row, double angle,
                          double spread, int32_t generations, double lively) {
  double vx = p.VelocityX;
  double vy = p.VelocityY;
  Rotate(vx, vy, angle, spread);
  const double x = column + p.FractionX / double(FractionUnit) + vx * lively;
  const double y = row + p.FractionY / double(FractionUnit) + vy * lively;
  if (!IsInterior(x, y))
    return 0;
  const int32_t c = static_cast<int32_t>(x);
  const int32_t r = static_cast<int32_t>(y);
  CELL &cell = NextCellItems[static_cast<ptrdiff_t>(r) * Columns + c];
  if (cell.Count == CellCapacity)
    return 0;
  PARTICLE &copy = cell.Slots[cell.Count++];
  copy.FractionX = FractionOf(x, c);
  copy.FractionY = FractionOf(y, r);
  copy.VelocityX = static_cast<float>(vx);
  copy.VelocityY = static_cast<float>(vy);
  copy.Age = p.Age + 1;
  copy.SettingsIndex = p.SettingsIndex;
  copy.Generations = generations;
  copy.Sample = p.Sample;
  Widen(NextSpanItems[r], c, c);
  return 1;
}

void Core::Move() {
  CoreMember &m = *Member;
  if (m.Rows == 0)
    return;
  const double lively = GetGeneralStyle().Lively;
  m.NextCellItems = m.NextCells.GetWritableItems();
  m.NextSpanItems = m.NextCellSpans.GetWritableItems();
  const PARTICLE_INFO_ITEM *items = m.ParticleInfos.GetItems();
  ROWSPAN *spans = m.CellSpans.GetWritableItems();
  CELL *cells = m.Cells.GetWritableItems();
  int32_t placedTotal = 0;
  for (int32_t r = 0; r < m.Rows; ++r) {
    const ROWSPAN span = spans[r];
    for (int32_t c = span.First; c <= span.Last; ++c) {
      CELL &cell = cells[static_cast<ptrdiff_t>(r) * m.Columns + c];
      const int32_t count = cell.Count;
      cell.Count = 0;
      for (int32_t k = 0; k < count; ++k) {
        const PARTICLE &p = cell.Slots[k];
        // Releases never move items, so the pointer stays valid through the pass.
        const PARTICLE_INFO_ITEM &item = items[p.SettingsIndex];
        if (p.Age >= BRUSHMOTE_FIELD(int32_t, item, Life)) {
          m.ParticleInfos.Release(p.SettingsIndex);
          continue;
        }
        bool split = false;
        if (BRUSHMOTE_FIELD(bool, item, UseSplit) && p.Age != 0 && p.Generations > 0)
          split = Random() / 32767.0 <= BRUSHMOTE_FIELD(double, item, SplitRate);
        int32_t placed = 0;
        if (!split) {
          placed = m.Place(p, c, r, 0, 0, p.Generations, lively);
        } else {
          const double spread = BRUSHMOTE_FIELD(double, item, SplitAngleWiggle);
          const int32_t mode = BRUSHMOTE_FIELD(int32_t, item, SplitMode);
          const int32_t step1 = BRUSHMOTE_FIELD(int32_t, item, SplitStep1);
          const int32_t step2 = BRUSHMOTE_FIELD(int32_t, item, SplitStep2);
          const int64_t lag = BRUSHMOTE_FIELD(int32_t, item, SplitLag);
          const bool hit1 = step1 > 0 && p.Age % step1 == 0;
          if (hit1)
            placed += m.Place(p, c, r, BRUSHMOTE_FIELD(double, item, SplitAngle1), spread,
                              p.Generations - 1, lively);
          const bool replace = hit1 && mode == 1;
          if (!replace)
            placed += m.Place(p, c, r, 0, 0, p.Generations, lively);
          const bool hit2 = replace || (mode == 2 && step2 > 0 && (p.Age - lag) % step2 == 0);
          if (hit2)
            placed += m.Place(p, c, r, BRUSHMOTE_FIELD(double, item, SplitAngle2), spread,
                              p.Generations - 1, lively);
        }
        // Each placed copy holds a reference and the old particle gives its one up.
        m.DropReferences(p.SettingsIndex, placed - 1);
        placedTotal += placed;
      }
    }
    spans[r] = EmptySpan;
  }
  m.Cells.Swap(m.NextCells);
  m.CellSpans.Swap(m.NextCellSpans);
  m.ParticleCount = placedTotal;
}

// ---- Emission and bookkeeping ----

void Core::AddParticle(const EMIT_REQUEST &request) {
  CoreMember &m = *Member;
  if (!m.ParticleInfos.IsInUse(request.SettingsIndex))
    throw std::out_of_range("particle settings index not in use");
  // A random shift of up to one pixel right and down.
  const int32_t r1 = Random();
  const int32_t r2 = Random();
  const double x = request.StartPosition.x + r1 / 32767.0;
  const double y = request.StartPosition.y + r2 / 32767.0;
  const double gx = (m.OffsetX + x) * 0.0625;
  const double gy = (m.OffsetY + y) * 0.0625;
  if (!m.IsInterior(gx, gy))
    return;
  const int32_t c = static_cast<int32_t>(gx);
  const int32_t r = static_cast<int32_t>(gy);
  CELL &cell = m.Cells.GetWritableItems()[static_cast<ptrdiff_t>(r) * m.Columns + c];
  if (cell.Count == CellCapacity)
    return;
  PARTICLE &p = cell.Slots[cell.Count];
  p.FractionX = FractionOf(gx, c);
  p.FractionY = FractionOf(gy, r);
  p.VelocityX = static_cast<float>(request.StartVelocity.x);
  p.VelocityY = static_cast<float>(request.StartVelocity.y);
  p.Age = 0;
  p.SettingsIndex = request.SettingsIndex;
  p.Generations = request.Generations;
  p.Sample = 0;
  const Image *picture = request.Picture;
  if (m.Mode == ModeBlur && picture != nullptr && picture->GetWidth() > 0 &&
      picture->GetHeight() > 0 && picture->GetBytesPerPixel() == 4) {
    // x and y lie within the grid here, so the conversions cannot overflow.
    const int32_t sx = Clamp(static_cast<int32_t>(x), 0, picture->GetWidth() - 1);
    const int32_t sy = Clamp(static_cast<int32_t>(y), 0, picture->GetHeight() - 1);
    p.Sample = PixelAt(picture->GetPixel(sx, sy));
  }
  m.ParticleInfos.AddReference(request.SettingsIndex);
  ++cell.Count;
  Widen(m.CellSpans.GetWritableItems()[r], c, c);
  ++m.ParticleCount;
}

bool Core::InsertParticle(int32_t column, int32_t row, const PARTICLE &particle) {
  CoreMember &m = *Member;
  if (!m.ParticleInfos.IsInUse(particle.SettingsIndex))
    throw std::out_of_range("particle settings index not in use");
  if (column < 1 || column > m.Columns - 2 || row < 1 || row > m.Rows - 2)
    return false;
  CELL &cell = m.Cells.GetWritableItems()[static_cast<ptrdiff_t>(row) * m.Columns + column];
  if (cell.Count == CellCapacity)
    return false;
  cell.Slots[cell.Count++] = particle;
  m.ParticleInfos.AddReference(particle.SettingsIndex);
  Widen(m.CellSpans.GetWritableItems()[row], column, column);
  ++m.ParticleCount;
  return true;
}

int32_t Core::RegisterSettings(const SPRAYSTYLE &engineStyle) {
  return Member->ParticleInfos.Register(engineStyle);
}

void Core::ReleaseSettings(int32_t index) { Member->ParticleInfos.Release(index); }

bool Core::HasParticles() const { return !Member->ParticleInfos.IsEmpty(); }

void Core::EraseAllParticles() {
  CoreMember &m = *Member;
  if (m.Rows == 0)
    return;
  ROWSPAN *spans = m.CellSpans.GetWritableItems();
  CELL *cells = m.Cells.GetWritableItems();
  for (int32_t r = 0; r < m.Rows; ++r) {
    for (int32_t c = spans[r].First; c <= spans[r].Last; ++c) {
      CELL &cell = cells[static_cast<ptrdiff_t>(r) * m.Columns + c];
      for (int32_t k = 0; k < cell.Count; ++k)
        m.ParticleInfos.Release(cell.Slots[k].SettingsIndex);
      cell.Count = 0;
    }
    spans[r] = EmptySpan;
  }
  m.ParticleCount = 0;
}

const ParticleInfoList &Core::GetParticleInfos() const { return Member->ParticleInfos; }

int32_t Core::GetParticleCount() const { return Member->ParticleCount; }

int32_t Core::GetColumns() const { return Member->Columns; }

int32_t Core::GetRows() const { return Member->Rows; }

int32_t Core::GetOffsetX() const { return Member->OffsetX; }

int32_t Core::GetOffsetY() const { return Member->OffsetY; }

int32_t Core::GetPictureWidth() const { return Member->PictureWidth; }

int32_t Core::GetPictureHeight() const { return Member->PictureHeight; }

const CELL &Core::GetCell(int32_t column, int32_t row) const {
  return Member->Cells.GetItems()[static_cast<ptrdiff_t>(row) * Member->Columns + column];
}

const unsigned char *Core::GetBrush(int32_t fx, int32_t fy) const {
  return Member->Brushes.GetItems() + (4 * fy + fx) * BrushSide * BrushSide;
}

} // namespace app
