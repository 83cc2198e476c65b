#include "foundation/Buffer.h"

#include "foundation/Exception.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace app {

BufferHeapStatistics &GetBufferHeapStatistics() {
  static BufferHeapStatistics statistics;
  return statistics;
}

namespace {

bool InjectedFailure() {
  BufferHeapStatistics &s = GetBufferHeapStatistics();
  if (s.FailCountdown < 0)
    return false;
  if (s.FailCountdown == 0) {
    s.FailCountdown = -1;
    return true;
  }
  --s.FailCountdown;
  return false;
}

unsigned char *AllocateBlock(int32_t n) {
  if (InjectedFailure())
    return nullptr;
  auto *block = static_cast<unsigned char *>(std::malloc(static_cast<size_t>(n)));
  if (block != nullptr)
    ++GetBufferHeapStatistics().Allocations;
  return block;
}

unsigned char *ReallocateBlock(unsigned char *block, int32_t n) {
  if (InjectedFailure())
    return nullptr;
  auto *grown = static_cast<unsigned char *>(std::realloc(block, static_cast<size_t>(n)));
  if (grown != nullptr)
    ++GetBufferHeapStatistics().Allocations;
  return grown;
}

// A new holder with a fresh block of n bytes holding a copy of the first `copy` bytes of
// `from`. Throws code 3, destroying the new holder, when the block cannot be had.
BufferHolder *CopyHolder(const BufferHolder &from, int32_t n, int32_t copy) {
  auto *holder = new BufferHolder;
  holder->Block = AllocateBlock(n);
  if (holder->Block == nullptr) {
    delete holder;
    throw Exception(ErrorOutOfMemory);
  }
  holder->Length = n;
  if (copy > 0 && from.Block != nullptr)
    std::memcpy(holder->Block, from.Block, static_cast<size_t>(copy));
  return holder;
}

} // namespace

BufferHolder::~BufferHolder() {
  std::free(Block);
  Block = nullptr;
  Length = 0;
}

UCharBuffer::~UCharBuffer() { Release(); }

UCharBuffer &UCharBuffer::Share(const UCharBuffer &other) {
  if (other.Holder == Holder)
    return *this;
  Release();
  Holder = other.Holder;
  if (Holder != nullptr)
    ++Holder->References;
  return *this;
}

void UCharBuffer::Allocate(int32_t n) {
  Release();
  if (n < 1)
    return;
  Holder = new BufferHolder;
  Holder->Block = AllocateBlock(n);
  if (Holder->Block == nullptr)
    throw Exception(ErrorOutOfMemory); // the holder stays, without a block
  Holder->Length = n;
}

void UCharBuffer::Resize(int32_t n) {
  if (n <= 0) {
    Release();
    return;
  }
  if (Holder == nullptr) {
    Allocate(n);
    return;
  }
  if (Holder->References > 1) {
    BufferHolder *copy = CopyHolder(*Holder, n, Holder->Length < n ? Holder->Length : n);
    Release();
    Holder = copy;
    return;
  }
  unsigned char *block =
      Holder->Block != nullptr ? ReallocateBlock(Holder->Block, n) : AllocateBlock(n);
  if (block == nullptr)
    throw Exception(ErrorOutOfMemory); // the old block and size stay
  Holder->Block = block;
  Holder->Length = n;
}

void UCharBuffer::Reserve(int32_t n) {
  if (Holder == nullptr)
    Allocate(n);
  else if (Holder->Length < n)
    Resize(n);
}

void UCharBuffer::Release() {
  if (Holder == nullptr)
    return;
  if (--Holder->References == 0)
    delete Holder;
  Holder = nullptr;
}

unsigned char *UCharBuffer::GetWritableData() {
  if (Holder == nullptr || Holder->Block == nullptr)
    return nullptr;
  if (Holder->References > 1) {
    BufferHolder *copy = CopyHolder(*Holder, Holder->Length, Holder->Length);
    Release();
    Holder = copy;
  }
  return Holder->Block;
}

void UCharBuffer::Swap(UCharBuffer &other) noexcept { std::swap(Holder, other.Holder); }

} // namespace app
