#pragma once
// What a debug-output viewer shows: the lines that programs of this session write
// with OutputDebugString while no debugger is attached, received through the
// system's shared buffer (DBWIN_BUFFER and its two events), as such viewers do.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velquin::test {

class DebugOutputViewer {
 public:
  DebugOutputViewer() {
    buffer_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSize, "DBWIN_BUFFER");
    bufferReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    dataReady_ = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    view_ = buffer_ ? static_cast<const char*>(MapViewOfFile(buffer_, FILE_MAP_READ, 0, 0, kSize)) : nullptr;
    if (view_ && bufferReady_ && dataReady_) reader_ = std::thread([this] { Read(); });
  }
  ~DebugOutputViewer() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    if (view_) UnmapViewOfFile(view_);
    for (HANDLE h : {buffer_, bufferReady_, dataReady_}) {
      if (h) CloseHandle(h);
    }
  }
  DebugOutputViewer(const DebugOutputViewer&) = delete;
  DebugOutputViewer& operator=(const DebugOutputViewer&) = delete;

  bool Listening() const { return reader_.joinable(); }
  // The lines received so far that begin with `prefix`, without their line break.
  std::vector<std::string> Lines(const std::string& prefix) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> found;
    for (const auto& line : lines_) {
      if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    }
    return found;
  }

 private:
  static constexpr DWORD kSize = 4096;  // the process id, then the text with its NUL

  void Read() {
    SetEvent(bufferReady_);
    while (!stop_) {
      if (WaitForSingleObject(dataReady_, 50) != WAIT_OBJECT_0) continue;
      std::string text(view_ + sizeof(DWORD), strnlen(view_ + sizeof(DWORD), kSize - sizeof(DWORD)));
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(text));
      }
      SetEvent(bufferReady_);
    }
  }

  HANDLE buffer_ = nullptr, bufferReady_ = nullptr, dataReady_ = nullptr;
  const char* view_ = nullptr;
  std::thread reader_;
  std::atomic<bool> stop_ = false;
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace velquin::test
