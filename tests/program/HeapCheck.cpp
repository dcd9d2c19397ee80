#include "tests/program/HeapCheck.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velquin::test {
namespace {

constexpr uint64_t kLive = 0x4C6976654C697665u;   // "LiveLive"
constexpr uint64_t kFreed = 0x467265654672656Eu;  // "FreeFren"
constexpr unsigned char kPattern = 0xDD;

// In front of every block; 32 bytes keep the malloc alignment of the payload.
struct alignas(16) Header {
  uint64_t magic;
  size_t size;
  Header* next;  // the kept blocks, newest first
};

bool gArmed = false;
Header* gKept = nullptr;
int gDoubleFrees = 0;

void* Allocate(size_t size) {
  auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + (size ? size : 1)));
  if (!header) throw std::bad_alloc();
  header->magic = kLive;
  header->size = size;
  header->next = nullptr;
  return header + 1;
}

void Release(void* block) noexcept {
  if (!block) return;
  Header* header = static_cast<Header*>(block) - 1;
  if (header->magic == kFreed) {  // only kept blocks can still say so
    ++gDoubleFrees;
    return;
  }
  if (gArmed) {
    header->magic = kFreed;
    std::memset(block, kPattern, header->size);
    header->next = gKept;
    gKept = header;
    return;
  }
  header->magic = 0;
  std::free(header);
}

}  // namespace

HeapCheck::HeapCheck() {
  gArmed = true;
  gDoubleFrees = 0;
}

HeapCheck::~HeapCheck() {
  gArmed = false;
  while (gKept) {
    Header* header = gKept;
    gKept = header->next;
    header->magic = 0;
    std::free(header);
  }
}

int HeapCheck::DoubleFrees() const { return gDoubleFrees; }

int HeapCheck::WrittenAfterFree() const {
  int written = 0;
  for (const Header* header = gKept; header; header = header->next) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(header + 1);
    for (size_t i = 0; i < header->size; ++i) {
      if (bytes[i] != kPattern) {
        ++written;
        break;
      }
    }
  }
  return written;
}

}  // namespace velquin::test

// The test program's heap goes through the check; arrays, sized and nothrow forms
// included.
void* operator new(size_t size) { return velquin::test::Allocate(size); }
void* operator new[](size_t size) { return velquin::test::Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return velquin::test::Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { velquin::test::Release(block); }
void operator delete[](void* block) noexcept { velquin::test::Release(block); }
void operator delete(void* block, size_t) noexcept { velquin::test::Release(block); }
void operator delete[](void* block, size_t) noexcept { velquin::test::Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { velquin::test::Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { velquin::test::Release(block); }
