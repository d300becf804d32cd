// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/DialogHost.h"

#include <atomic>

namespace {
// Set by the facade while it lives, or a test's scope; read from the
// dialogs' thread and a speech callback, hence atomic.
std::atomic<CDialogHost*> g_host{nullptr};
}  // namespace

CDialogHost* CDialogHost::Current() { return g_host.load(); }

CScopedDialogHost::CScopedDialogHost(CDialogHost* host) : m_previous(g_host.exchange(host)) {}

CScopedDialogHost::~CScopedDialogHost() { g_host.store(m_previous); }
