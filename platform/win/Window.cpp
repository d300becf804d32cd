// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/Window.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/win/MessageQueue.h"

namespace platform {

namespace {

std::unordered_set<const Window*>& LiveWindows() {
  static auto* windows = new std::unordered_set<const Window*>();
  return *windows;
}

HWND g_focus = nullptr;

// Copies text into a caller's buffer of `capacity` characters, terminator
// included, as WM_GETTEXT and LB_GETTEXT do; the number copied.
LRESULT CopyOut(const std::wstring& text, wchar_t* buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  const size_t count = std::min(text.size(), capacity - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = L'\0';
  return static_cast<LRESULT>(count);
}

}  // namespace

Window::Window(HWND parent, int id, unsigned style, std::wstring text)
    : m_parent(parent), m_id(id), m_style(style), m_text(std::move(text)) {
  LiveWindows().insert(this);
}

Window::~Window() {
  Destroy();
  LiveWindows().erase(this);
  DropQueued(this);
  if (g_focus == this) g_focus = nullptr;
}

void Window::Destroy() {
  if (m_destroyed) return;
  m_destroyed = true;
  Dispatch(WM_DESTROY, 0, 0);
  while (m_top != nullptr) {
    Subclass* top = m_top;
    m_top = top->m_previous;
    top->m_previous = nullptr;
    top->m_hWnd = nullptr;
  }
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_top != nullptr) return m_top->WindowProc(message, wParam, lParam);
  return WindowProc(message, wParam, lParam);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      m_text = lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"";
      return 1;
    case WM_GETTEXT:
      return CopyOut(m_text, reinterpret_cast<wchar_t*>(lParam), wParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(m_text.size());
    default:
      return 0;
  }
}

Subclass::~Subclass() { UnsubclassWindow(); }

bool Subclass::SubclassWindow(HWND window) {
  if (m_hWnd != nullptr || !IsWindow(window)) return false;
  m_previous = window->m_top;
  window->m_top = this;
  m_hWnd = window;
  return true;
}

HWND Subclass::UnsubclassWindow() {
  HWND window = m_hWnd;
  if (window == nullptr) return nullptr;
  Subclass** link = &window->m_top;
  while (*link != nullptr && *link != this) link = &(*link)->m_previous;
  if (*link == this) *link = m_previous;
  m_previous = nullptr;
  m_hWnd = nullptr;
  return window;
}

LRESULT Subclass::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_hWnd == nullptr) return 0;
  if (m_previous != nullptr) return m_previous->WindowProc(message, wParam, lParam);
  return m_hWnd->WindowProc(message, wParam, lParam);
}

bool IsWindow(HWND window) {
  return window != nullptr && LiveWindows().count(window) != 0;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return 0;
  return window->Dispatch(message, wParam, lParam);
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return false;
  PostQueued({window, message, wParam, lParam, 0});
  return true;
}

HWND GetParent(HWND window) { return IsWindow(window) ? window->Parent() : nullptr; }

int GetDlgCtrlID(HWND window) { return IsWindow(window) ? window->Id() : 0; }

std::wstring GetWindowText(HWND window) {
  if (!IsWindow(window)) return std::wstring();
  std::wstring text(static_cast<size_t>(SendMessage(window, WM_GETTEXTLENGTH)), L'\0');
  std::vector<wchar_t> buffer(text.size() + 1);
  const LRESULT copied = SendMessage(window, WM_GETTEXT, buffer.size(),
                                     reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), static_cast<size_t>(copied));
}

bool SetWindowText(HWND window, const std::wstring& text) {
  return SendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

HWND SetFocus(HWND window) {
  HWND before = g_focus;
  if (window == before) return before;
  if (window != nullptr && !IsWindow(window)) return before;
  g_focus = window;
  if (IsWindow(before)) SendMessage(before, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window));
  if (IsWindow(window)) SendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(before));
  return before;
}

HWND GetFocus() { return IsWindow(g_focus) ? g_focus : nullptr; }

}  // namespace platform
