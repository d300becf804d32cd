// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/debugout/ListenerPresence.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <mutex>
#include <type_traits>

#include "platform/debugout/DebugOutputNames.h"
#include "platform/debugout/SharedObjects.h"

namespace platform {

namespace {

constexpr size_t kPageSize = 4096;
constexpr int64_t kRecheckNs = 1000000000;  // the file may have been replaced

// Word 0: a listener runs. Word 1: the listener generation.
std::atomic<uint32_t>* MapWord(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0) return nullptr;
  if (static_cast<size_t>(st.st_size) < kPageSize && ftruncate(fd, kPageSize) != 0) {
    return nullptr;
  }
  void* page = mmap(nullptr, kPageSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return page == MAP_FAILED ? nullptr : static_cast<std::atomic<uint32_t>*>(page);
}

int64_t CoarseNowNs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct WriterView {
  std::mutex lock;
  std::atomic<std::atomic<uint32_t>*> word{nullptr};
  std::atomic<int64_t> checkedAt{0};
  dev_t device = 0;
  ino_t inode = 0;
};

// Nothing in it needs destroying, so it stays usable while the process
// exits and other objects' destructors still write lines; and, not being on
// the heap, it goes with the library's own memory when a host unloads it.
static_assert(std::is_trivially_destructible_v<WriterView>);

WriterView& View() {
  static WriterView view;
  return view;
}

// Maps the lock file afresh when there is none yet or it is another file
// now. Earlier pages stay mapped: another thread may still be reading one.
void Revalidate(WriterView& view) {
  const std::lock_guard<std::mutex> guard(view.lock);
  const std::string name = DebugOutputNames::ForThisUser().listenerLock;
  // Refused unless ours with mode 0600: another user's file could be cut
  // short under our mapping (SIGBUS) or tell us a listener runs.
  ObjectState state;
  const int fd = OpenOwnObject(name, O_RDWR, true, &state, nullptr);
  if (fd < 0) {
    view.checkedAt.store(CoarseNowNs());
    return;
  }
  struct stat st;
  const bool same = fstat(fd, &st) == 0 && view.word.load() != nullptr &&
                    st.st_dev == view.device && st.st_ino == view.inode;
  if (!same) {
    if (std::atomic<uint32_t>* word = MapWord(fd)) {
      view.device = st.st_dev;
      view.inode = st.st_ino;
      view.word.store(word);
    }
  }
  close(fd);
  view.checkedAt.store(CoarseNowNs());
}

}  // namespace

bool ListenerMayBeRunning(uint32_t* generation) {
  WriterView& view = View();
  std::atomic<uint32_t>* word = view.word.load(std::memory_order_acquire);
  if (word == nullptr || word[0].load(std::memory_order_relaxed) == 0) {
    if (word == nullptr || CoarseNowNs() - view.checkedAt.load() > kRecheckNs) {
      Revalidate(view);
      word = view.word.load(std::memory_order_acquire);
    }
    if (word == nullptr || word[0].load(std::memory_order_relaxed) == 0) return false;
  }
  if (generation) *generation = word[1].load(std::memory_order_relaxed);
  return true;
}

PresenceMark::PresenceMark(int lockFd) : m_word(MapWord(lockFd)) {
  if (!m_word) return;
  m_word[1].fetch_add(1);
  m_word[0].store(1);
}

PresenceMark::~PresenceMark() {
  if (!m_word) return;
  m_word[0].store(0);
  munmap(m_word, kPageSize);
}

}  // namespace platform
