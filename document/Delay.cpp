#include "document/Delay.h"

#include "foundation/Exception.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace app {

namespace {

// zlib's answer to a start or work call: lack of memory is code 3; any other failure means
// the stream cannot go on (a damaged or cut-off block), which must not pass as a short block.
void CheckStream(int result) {
  if (result == Z_OK || result == Z_STREAM_END)
    return;
  if (result == Z_MEM_ERROR)
    throw Exception(ErrorOutOfMemory);
  throw Exception(ErrorUnknown);
}

bool IsZero(const unsigned char *bytes, int32_t n) {
  uint64_t any = 0;
  int32_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    any |= word;
  }
  for (; i < n; ++i)
    any |= bytes[i];
  return any == 0;
}

} // namespace

Delay::~Delay() = default;

// ---------------------------------------------------------------------------------------------

struct DelayBufferMember {
  const unsigned char *Bytes = nullptr;
  int32_t Length = 0;
  int32_t Offset = 0;
};

DelayBuffer::DelayBuffer(const unsigned char *bytes, int32_t length)
    : Member(std::make_unique<DelayBufferMember>()) {
  Member->Bytes = bytes;
  Member->Length = length > 0 ? length : 0;
}

DelayBuffer::~DelayBuffer() = default;

bool DelayBuffer::IsEnd() { return Member->Offset >= Member->Length; }

int32_t DelayBuffer::GetAvailable() { return Member->Length - Member->Offset; }

const unsigned char *DelayBuffer::GetCurrent() { return Member->Bytes + Member->Offset; }

void DelayBuffer::Advance(int32_t n) { Member->Offset += n; }

int32_t DelayBuffer::Read(unsigned char *dst, int32_t len) {
  const int32_t n = std::min(len, GetAvailable());
  if (n <= 0)
    return 0;
  std::memmove(dst, GetCurrent(), static_cast<size_t>(n));
  Member->Offset += n;
  return n;
}

// ---------------------------------------------------------------------------------------------

struct DelayDiffMember {
  Delay *First = nullptr;
  Delay *Second = nullptr;
  bool Add = false;
  bool Changed = false;
  UCharBuffer Window; // DelayWindowSize bytes, made on first use
  int32_t WindowFilled = 0;
  int32_t WindowPosition = 0;
};

DelayDiff::DelayDiff(Delay &first, Delay &second, bool add)
    : Member(std::make_unique<DelayDiffMember>()) {
  Member->First = &first;
  Member->Second = &second;
  Member->Add = add;
}

DelayDiff::~DelayDiff() = default;

bool DelayDiff::HasChanged() const { return Member->Changed; }

int32_t DelayDiff::Read(unsigned char *dst, int32_t len) {
  DelayDiffMember &m = *Member;
  int32_t produced = 0;
  while (produced < len) {
    if (m.First->IsEnd() || m.Second->IsEnd())
      break;
    const unsigned char *a = m.First->GetCurrent();
    int32_t n = std::min(len - produced, m.First->GetAvailable());
    const unsigned char *b = m.Second->GetCurrent();
    n = std::min(n, m.Second->GetAvailable());
    unsigned char *out = dst + produced;
    if (out == a && IsZero(b, n)) {
      // In place with nothing to add or subtract: every byte stays as it is. This is most of
      // the picture when a small change is replayed.
      if (!m.Add && !m.Changed && !IsZero(a, n))
        m.Changed = true;
    } else if (m.Add) {
      for (int32_t i = 0; i < n; ++i)
        out[i] = static_cast<unsigned char>(a[i] + b[i]);
    } else {
      unsigned char differ = 0;
      for (int32_t i = 0; i < n; ++i) {
        const auto d = static_cast<unsigned char>(a[i] - b[i]);
        differ |= d;
        out[i] = d;
      }
      if (differ != 0)
        m.Changed = true;
    }
    m.First->Advance(n);
    m.Second->Advance(n);
    produced += n;
  }
  return produced;
}

const unsigned char *DelayDiff::GetCurrent() {
  DelayDiffMember &m = *Member;
  if (m.Window.IsEmpty() || m.Window.GetLength() < DelayWindowSize)
    m.Window.Allocate(DelayWindowSize);
  unsigned char *window = m.Window.GetWritableData();
  if (GetAvailable() == 0) {
    m.WindowFilled = Read(window, DelayWindowSize);
    m.WindowPosition = 0;
  }
  return window + m.WindowPosition;
}

int32_t DelayDiff::GetAvailable() { return Member->WindowFilled - Member->WindowPosition; }

void DelayDiff::Advance(int32_t n) {
  DelayDiffMember &m = *Member;
  m.WindowPosition += n;
  if (m.WindowPosition >= m.WindowFilled)
    m.WindowPosition = m.WindowFilled = 0;
}

bool DelayDiff::IsEnd() {
  if (!Member->First->IsEnd() && !Member->Second->IsEnd())
    return false;
  return GetAvailable() == 0;
}

// ---------------------------------------------------------------------------------------------

struct DelayCompressMember {
  z_stream Stream{};
  bool Started = false; // the zlib stream was initialised and must be ended
  Delay *Source = nullptr;
  std::unique_ptr<Delay> OwnedSource; // set when the source is destroyed with this delay
  UCharBuffer Output;                 // DelayWindowSize bytes, made on first use
  int32_t OutputFilled = 0;
  int32_t OutputPosition = 0;
  bool Compressing = false;
  bool Finished = false;

  void Start(bool compressing) {
    Compressing = compressing;
    Stream.zalloc = Z_NULL;
    Stream.zfree = Z_NULL;
    Stream.opaque = Z_NULL;
    CheckStream(compressing ? deflateInit(&Stream, Z_DEFAULT_COMPRESSION) : inflateInit(&Stream));
    Started = true;
  }

  ~DelayCompressMember() {
    if (!Started)
      return;
    if (Compressing)
      deflateEnd(&Stream);
    else
      inflateEnd(&Stream);
  }
};

DelayCompress::DelayCompress(std::unique_ptr<Delay> source, bool compressing)
    : Member(std::make_unique<DelayCompressMember>()) {
  Member->OwnedSource = std::move(source);
  Member->Source = Member->OwnedSource.get();
  Member->Start(compressing);
}

DelayCompress::DelayCompress(Delay &source, bool compressing)
    : Member(std::make_unique<DelayCompressMember>()) {
  Member->Source = &source;
  Member->Start(compressing);
}

DelayCompress::~DelayCompress() = default;

int32_t DelayCompress::Read(unsigned char *dst, int32_t len) {
  DelayCompressMember &m = *Member;
  if (m.Finished || len <= 0)
    return 0;
  z_stream &z = m.Stream;
  z.next_out = dst;
  z.avail_out = static_cast<uInt>(len);
  const uLong before = z.total_out;
  while (z.avail_out > 0) {
    // GetCurrent first: a source with a window fills it there.
    const unsigned char *current = m.Source->GetCurrent();
    const int32_t available = m.Source->GetAvailable();
    const bool end = m.Source->IsEnd();
    if (!end && available <= 0)
      continue;
    z.next_in = const_cast<Bytef *>(current);
    z.avail_in = static_cast<uInt>(available > 0 ? available : 0);
    // Deflate is told to finish once its input has ended. Inflate finds the end in the data
    // itself; running out of input before it is a cut-off block (Z_BUF_ERROR below).
    const int result =
        m.Compressing ? deflate(&z, end ? Z_FINISH : Z_NO_FLUSH) : inflate(&z, Z_NO_FLUSH);
    m.Source->Advance(available - static_cast<int32_t>(z.avail_in));
    if (result == Z_STREAM_END) {
      m.Finished = true;
      break;
    }
    CheckStream(result);
  }
  return static_cast<int32_t>(z.total_out - before);
}

const unsigned char *DelayCompress::GetCurrent() {
  DelayCompressMember &m = *Member;
  if (m.Output.IsEmpty() || m.Output.GetLength() < DelayWindowSize)
    m.Output.Allocate(DelayWindowSize);
  unsigned char *window = m.Output.GetWritableData();
  if (GetAvailable() == 0) {
    m.OutputFilled = Read(window, DelayWindowSize);
    m.OutputPosition = 0;
  }
  return window + m.OutputPosition;
}

int32_t DelayCompress::GetAvailable() { return Member->OutputFilled - Member->OutputPosition; }

void DelayCompress::Advance(int32_t n) {
  DelayCompressMember &m = *Member;
  m.OutputPosition += n;
  if (m.OutputPosition >= m.OutputFilled)
    m.OutputPosition = m.OutputFilled = 0;
}

// The end comes when zlib has reported the end of the stream and the window is drained: the
// last window of a stream may still hold bytes when the end is reported.
bool DelayCompress::IsEnd() { return Member->Finished && GetAvailable() == 0; }

// ---------------------------------------------------------------------------------------------

void ReadAll(Delay &delay, UCharBuffer &buffer) {
  int32_t total = 0;
  while (!delay.IsEnd()) {
    buffer.Reserve(AddInts(total, DelayWindowSize));
    total += delay.Read(buffer.GetWritableData() + total, DelayWindowSize);
  }
  buffer.Resize(total);
}

} // namespace app
