// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhost/WakingDialogIo.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win/Dialog.h"

CWakingDialogIo::CWakingDialogIo(platform::DialogIo& inner, int tty) : m_inner(inner), m_tty(tty) {
  if (pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) m_pipe[0] = m_pipe[1] = -1;
}

CWakingDialogIo::~CWakingDialogIo() {
  for (int fd : m_pipe) {
    if (fd >= 0) close(fd);
  }
}

void CWakingDialogIo::SetTarget(platform::HWND window, platform::UINT message) {
  m_target = window;
  m_message = message;
}

void CWakingDialogIo::Wake() {
  m_due.store(true);
  if (m_pipe[1] >= 0) {
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost.
    if (write(m_pipe[1], &byte, 1) < 0) {
    }
  }
}

void CWakingDialogIo::Drain() {
  char bytes[64];
  while (m_pipe[0] >= 0 && read(m_pipe[0], bytes, sizeof bytes) > 0) {
  }
}

bool CWakingDialogIo::PostIfDue() {
  if (!m_due.load() || m_target == nullptr || platform::Dialog::Active() != m_target) return false;
  m_due.store(false);
  return platform::PostMessage(m_target, m_message);
}

bool CWakingDialogIo::NextKey(platform::KeyEvent& key) {
  for (;;) {
    // A "resize" makes the modal loop deliver what was posted and draw.
    if (PostIfDue()) {
      key = platform::KeyEvent{};
      key.kind = platform::KeyEvent::kResize;
      return true;
    }
    if (m_tty < 0 || m_pipe[0] < 0) return m_inner.NextKey(key);
    pollfd ready[2] = {{m_tty, POLLIN, 0}, {m_pipe[0], POLLIN, 0}};
    const int polled = poll(ready, 2, -1);
    if (polled < 0 && errno == EINTR) continue;
    if (polled < 0) return m_inner.NextKey(key);
    if (ready[1].revents != 0) Drain();
    if (ready[0].revents != 0) return m_inner.NextKey(key);
  }
}
