// Reference-counted, copy-on-write byte blocks.
//
// A buffer knows only its size in bytes; its owner decides how many records it holds and by
// how much it grows. Copies share one block (one counter increment) until a sharer asks for
// writable data. Counts are plain integers: buffers stay on the plug-in's one thread.
#pragma once

#include <cstdint>

namespace app {

// The shared block behind one or more buffers. Created and destroyed only by buffers.
struct BufferHolder {
  unsigned char *Block = nullptr; // from the raw heap; null when there is no block
  int32_t Length = 0;             // bytes in Block; 0 without a block
  int32_t References = 1;         // buffers pointing here

  BufferHolder() = default;
  BufferHolder(const BufferHolder &) = delete;
  BufferHolder &operator=(const BufferHolder &) = delete;
  ~BufferHolder();
};

class UCharBuffer {
public:
  UCharBuffer() = default;
  UCharBuffer(const UCharBuffer &other) { Share(other); }
  UCharBuffer &operator=(const UCharBuffer &other) { return Share(other); }
  virtual ~UCharBuffer();

  // Drops this buffer's block and shares the other's (no copy).
  UCharBuffer &Share(const UCharBuffer &other);
  // A fresh block of n bytes, contents undefined; n < 1 leaves the buffer empty.
  void Allocate(int32_t n);
  // Changes the size to n bytes keeping the leading contents; 0 empties the buffer.
  void Resize(int32_t n);
  // Makes the size at least n; never shrinks, and keeps a large enough block shared.
  void Reserve(int32_t n);
  void Release();

  const unsigned char *GetData() const { return Holder != nullptr ? Holder->Block : nullptr; }
  // Copies a shared block first, so that the other sharers keep their bytes.
  unsigned char *GetWritableData();
  int32_t GetLength() const { return Holder != nullptr ? Holder->Length : 0; }
  bool IsEmpty() const { return Holder == nullptr; }
  void Swap(UCharBuffer &other) noexcept;

  // Number of buffers sharing this block (0 when empty); for tests and diagnostics.
  int32_t GetReferences() const { return Holder != nullptr ? Holder->References : 0; }

private:
  BufferHolder *Holder = nullptr;
};

// A typed face over UCharBuffer: the owner counts records and casts the data pointer.
template <typename T> class Buffer : public UCharBuffer {
public:
  Buffer() = default;
  Buffer(const Buffer &other) = default;
  Buffer &operator=(const Buffer &other) = default;
  ~Buffer() override = default;

  const T *GetItems() const { return reinterpret_cast<const T *>(GetData()); }
  T *GetWritableItems() { return reinterpret_cast<T *>(GetWritableData()); }
};

// Counters of the raw block heap, for tests that check that a hot path allocates nothing and
// for tests of the out-of-memory paths.
struct BufferHeapStatistics {
  int64_t Allocations = 0;    // successful allocate and reallocate calls
  int64_t FailCountdown = -1; // when 0, the next block request fails; -1 never fails
};
BufferHeapStatistics &GetBufferHeapStatistics();

} // namespace app
