// Pull-driven byte streams ("delays") that compute, compress and apply picture differences in
// 8192-byte steps, so that no whole uncompressed difference is ever held in memory.
//
// A consumer either reads into its own memory (`Read`) or looks at the delay's current window
// (`GetCurrent`, `GetAvailable`, `Advance`). Every delay is used once, front to back.
#pragma once

#include "foundation/Buffer.h"

#include <cstdint>
#include <memory>

namespace app {

enum { DelayWindowSize = 8192 };

class Delay {
public:
  Delay() = default;
  Delay(const Delay &) = delete;
  Delay &operator=(const Delay &) = delete;
  virtual ~Delay();

  // No more bytes will come.
  virtual bool IsEnd() = 0;
  // Bytes readable at once at the current read point; may be 0 before the next GetCurrent.
  virtual int32_t GetAvailable() = 0;
  // The current read point; a delay with a window refills an empty window here.
  virtual const unsigned char *GetCurrent() = 0;
  // Consumes n bytes (at most GetAvailable) at the current read point.
  virtual void Advance(int32_t n) = 0;
  // Produces up to len bytes into dst and returns how many were produced.
  virtual int32_t Read(unsigned char *dst, int32_t len) = 0;
};

struct DelayBufferMember;

// Reads a block of memory it does not own.
class DelayBuffer : public Delay {
public:
  DelayBuffer(const unsigned char *bytes, int32_t length);
  ~DelayBuffer() override;

  bool IsEnd() override;
  int32_t GetAvailable() override;
  const unsigned char *GetCurrent() override;
  void Advance(int32_t n) override;
  int32_t Read(unsigned char *dst, int32_t len) override;

private:
  std::unique_ptr<DelayBufferMember> Member;
};

struct DelayDiffMember;

// Combines two delays byte by byte modulo 256: first + second, or first - second. Stops at the
// end of the shorter source. Both sources belong to the caller. The destination of Read may be
// the very memory the first source reads (each byte is written where its first operand was).
class DelayDiff : public Delay {
public:
  DelayDiff(Delay &first, Delay &second, bool add);
  ~DelayDiff() override;

  // While subtracting: some pair of bytes differed so far.
  bool HasChanged() const;

  bool IsEnd() override;
  int32_t GetAvailable() override;
  const unsigned char *GetCurrent() override;
  void Advance(int32_t n) override;
  int32_t Read(unsigned char *dst, int32_t len) override;

private:
  std::unique_ptr<DelayDiffMember> Member;
};

struct DelayCompressMember;

// Passes a source through zlib: deflate (the zlib format, default level, 15-bit window) when
// compressing, inflate otherwise. A stream zlib cannot process (a damaged or cut-off block)
// throws app::Exception instead of ending early; lack of memory throws code 3.
class DelayCompress : public Delay {
public:
  // Takes ownership of the source.
  DelayCompress(std::unique_ptr<Delay> source, bool compressing);
  // Borrows the source, which must outlive this delay.
  DelayCompress(Delay &source, bool compressing);
  ~DelayCompress() override;

  bool IsEnd() override;
  int32_t GetAvailable() override;
  const unsigned char *GetCurrent() override;
  void Advance(int32_t n) override;
  int32_t Read(unsigned char *dst, int32_t len) override;

private:
  std::unique_ptr<DelayCompressMember> Member;
};

// Drains the delay into the buffer, growing it in 8192-byte steps, and cuts it to the exact
// number of bytes read.
void ReadAll(Delay &delay, UCharBuffer &buffer);

} // namespace app
