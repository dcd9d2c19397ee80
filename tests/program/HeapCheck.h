#pragma once
// A check of the test program's own heap, for what the Windows build has no
// sanitizer for. While a HeapCheck lives, every block freed through operator
// delete is filled with a pattern and kept instead of returned: a virtual call
// through a freed object then faults, a second free of the block is counted
// rather than corrupting the heap, and a write into it shows in the pattern.
// One thread only.
namespace velquin::test {

class HeapCheck {
 public:
  HeapCheck();
  ~HeapCheck();  // returns the kept blocks
  HeapCheck(const HeapCheck&) = delete;
  HeapCheck& operator=(const HeapCheck&) = delete;

  // Blocks freed again after their first free while the check ran.
  int DoubleFrees() const;
  // Kept blocks whose pattern was overwritten since they were freed.
  int WrittenAfterFree() const;
};

}  // namespace velquin::test
