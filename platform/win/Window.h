// SPDX-License-Identifier: GPL-3.0-or-later
// A window: an object with a message handler, as on Windows. Messages are
// sent (the handler runs before SendMessage returns) or posted (queued for
// the modal loop). A handle is the window's address; a handle whose window
// is gone is recognised (IsWindow) and messages to it are dropped.
//
// Subclassing: a Subclass attached to a window sees the window's messages
// before the window does and passes on what it does not keep with
// DefWindowProc, the way ATL's CWindowImpl::SubclassWindow works. Several
// may be stacked; the last attached sees a message first. A window that is
// destroyed detaches its subclasses after they have seen WM_DESTROY.
#ifndef NARRO_PLATFORM_WIN_WINDOW_H_
#define NARRO_PLATFORM_WIN_WINDOW_H_

#include <string>

#include "platform/win/Messages.h"

namespace platform {

class Subclass;

class Window {
 public:
  Window(HWND parent, int id, unsigned style, std::wstring text);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Runs the message through the subclasses, then the window's own handler.
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  HWND Parent() const { return m_parent; }
  int Id() const { return m_id; }
  unsigned Style() const { return m_style; }
  const std::wstring& Text() const { return m_text; }
  // What the window class is, for the dialog's keyboard handling and drawing.
  virtual const char* ClassName() const { return "Window"; }

  // Sends WM_DESTROY through the chain and detaches the subclasses; called by
  // the destructor of whoever owns the window, before it goes.
  void Destroy();

 protected:
  // The window's own handling, last in the chain. The default handles the
  // text messages (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH).
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  void SetText(std::wstring text) { m_text = std::move(text); }
  void SetParentWindow(HWND parent) { m_parent = parent; }

 private:
  friend class Subclass;
  HWND m_parent;
  int m_id;
  unsigned m_style;
  std::wstring m_text;
  Subclass* m_top = nullptr;  // the subclass that sees messages first
  bool m_destroyed = false;
};

class Subclass {
 public:
  Subclass() = default;
  virtual ~Subclass();
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;

  // False when the handle is not a live window or this is attached already.
  bool SubclassWindow(HWND window);
  // Detaches; the handle it was attached to, or null.
  HWND UnsubclassWindow();

  // The window seen, null when not attached.
  HWND m_hWnd = nullptr;

 protected:
  // Sees the window's messages first.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The handling the window would have had without this subclass.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  friend class Window;
  Subclass* m_previous = nullptr;
};

bool IsWindow(HWND window);
// Runs the handler now; 0 when the window is gone.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message for the modal loop; false when the window is gone.
bool PostMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

HWND GetParent(HWND window);
int GetDlgCtrlID(HWND window);
std::wstring GetWindowText(HWND window);
bool SetWindowText(HWND window, const std::wstring& text);

// The window that gets the keys. Setting it sends WM_KILLFOCUS to the one
// that had it and WM_SETFOCUS to the new one; returns the one before.
HWND SetFocus(HWND window);
HWND GetFocus();

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_WINDOW_H_
