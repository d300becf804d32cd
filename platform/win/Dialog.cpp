// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/Dialog.h"

#include <cwctype>

#include "platform/win/Announcer.h"
#include "platform/win/Button.h"
#include "platform/win/DialogIo.h"
#include "platform/win/Edit.h"
#include "platform/win/ListBox.h"
#include "platform/win/MessageQueue.h"

namespace platform {

namespace {

Dialog* g_active = nullptr;

// Dialog units to rows: a line of text is about eight units high.
int RowsOf(int heightUnits) { return heightUnits / 8 > 1 ? heightUnits / 8 : 1; }

constexpr unsigned kHasDefaultId = 0x534B;  // DC_HASDEFID

}  // namespace

Dialog::Dialog() : Window(nullptr, 0, 0, L"") {}

Dialog::~Dialog() {
  if (g_active == this) g_active = m_below;
  for (auto& control : m_controls) control->Destroy();
  Destroy();
}

Dialog* Dialog::Active() { return g_active; }

void Dialog::CreateControls(const DialogTemplate& dialogTemplate) {
  m_controls.clear();
  for (const ControlTemplate& c : dialogTemplate.controls) {
    std::unique_ptr<Window> control;
    switch (c.kind) {
      case ControlKind::kStatic:
        control = std::make_unique<Static>(this, c.id, c.style, c.text);
        break;
      case ControlKind::kListBox:
        control = std::make_unique<ListBox>(this, c.id, c.style, RowsOf(c.height));
        break;
      case ControlKind::kEdit:
        control = std::make_unique<Edit>(this, c.id, c.style);
        break;
      case ControlKind::kButton:
        control = std::make_unique<Button>(this, c.id, c.style, c.text);
        break;
    }
    m_controls.push_back(std::move(control));
  }
}

int Dialog::DoModal(HWND parent, int templateResource, LPARAM initParam) {
  const DialogTemplate* found = FindDialogTemplate(templateResource);
  if (found == nullptr) return -1;
  return DoModal(parent, *found, initParam);
}

int Dialog::DoModal(HWND parent, const DialogTemplate& dialogTemplate, LPARAM initParam) {
  DialogIo& io = Current<DialogIo>();
  if (!io.Open()) return -1;
  SetParentWindow(parent);
  SetText(dialogTemplate.caption);
  CreateControls(dialogTemplate);
  m_ended = false;
  m_code = 0;
  HWND focusBefore = GetFocus();
  m_below = g_active;
  g_active = this;

  HWND firstStop = nullptr;
  for (auto& control : m_controls) {
    if (control->Style() & WS_TABSTOP) {
      firstStop = control.get();
      break;
    }
  }
  const LRESULT focusFirst =
      SendMessage(this, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstStop), initParam);
  HWND focus = GetFocus();
  const bool focusInside = focus == this || (focus != nullptr && focus->Parent() == this);
  if (focusFirst != 0 || !focusInside) SetFocus(firstStop != nullptr ? firstStop : this);

  RunLoop();

  g_active = m_below;
  m_below = nullptr;
  for (auto& control : m_controls) control->Destroy();
  m_controls.clear();
  SetFocus(IsWindow(focusBefore) ? focusBefore : nullptr);
  io.Close();
  return m_code;
}

void Dialog::EndDialog(int code) {
  m_code = code;
  m_ended = true;
}

HWND Dialog::GetDlgItem(int id) const {
  for (auto& control : m_controls) {
    if (control->Id() == id) return control.get();
  }
  return nullptr;
}

void Dialog::RunLoop() {
  DialogIo& io = Current<DialogIo>();
  while (!m_ended) {
    QueuedMessage message;
    if (TakeQueued(message)) {
      Deliver(message);
      continue;
    }
    io.Show(*this);
    KeyEvent key;
    if (!io.NextKey(key) || key.kind == KeyEvent::kInterrupt) {
      GiveUp();
      continue;
    }
    if (key.kind == KeyEvent::kResize) continue;
    if (key.alt) {
      PressMnemonic(key.ch);
      continue;
    }
    HWND target = GetFocus();
    if (target == nullptr || (target != this && target->Parent() != this)) target = this;
    PostQueued({target, WM_KEYDOWN, key.vk, 0, key.ch, key.shift});
  }
}

void Dialog::Deliver(const QueuedMessage& message) {
  if (!IsWindow(message.window)) return;
  const bool ours = message.window == this || message.window->Parent() == this;
  if (ours && (message.message == WM_KEYDOWN || message.message == WM_CHAR) &&
      DialogKey(message.window, message.message, message.wParam, message.shift)) {
    return;
  }
  if (message.message == WM_KEYDOWN && message.typed != 0) {
    PostQueued({message.window, WM_CHAR, static_cast<WPARAM>(message.typed), 0, 0});
  }
  SendMessage(message.window, message.message, message.wParam, message.lParam);
}

bool Dialog::DialogKey(HWND target, UINT message, WPARAM key, bool shift) {
  const LRESULT code = SendMessage(target, WM_GETDLGCODE, key, 0);
  if (code & DLGC_WANTALLKEYS) return false;
  if (message == WM_KEYDOWN) {
    switch (key) {
      case VK_TAB:
        if (code & DLGC_WANTTAB) return false;
        MoveFocus(shift ? -1 : 1, true);
        return true;
      case VK_RETURN:
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
          Command(target->Id(), target);
        } else {
          const int id = static_cast<int>(LOWORD(static_cast<uintptr_t>(SendMessage(this, DM_GETDEFID))));
          Command(id, GetDlgItem(id));
        }
        return true;
      case VK_ESCAPE:
        Command(IDCANCEL, GetDlgItem(IDCANCEL));
        return true;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN:
        if (code & DLGC_WANTARROWS) return false;
        MoveFocus(key == VK_LEFT || key == VK_UP ? -1 : 1, false);
        return true;
      default:
        return false;
    }
  }
  if (code & DLGC_WANTCHARS) return false;
  const auto ch = static_cast<wchar_t>(key);
  if ((code & DLGC_BUTTON) && ch == L' ') return false;  // the button presses itself
  if (ch >= 32) PressMnemonic(ch);
  return true;
}

void Dialog::Command(int id, HWND from) {
  SendMessage(this, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
              reinterpret_cast<LPARAM>(from));
}

void Dialog::MoveFocus(int step, bool wrap) {
  std::vector<HWND> stops;
  for (auto& control : m_controls) {
    if (control->Style() & WS_TABSTOP) stops.push_back(control.get());
  }
  if (stops.empty()) return;
  int at = -1;
  for (size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == GetFocus()) at = static_cast<int>(i);
  }
  const int count = static_cast<int>(stops.size());
  int next = at < 0 ? 0 : at + step;
  if (wrap) next = (next % count + count) % count;
  if (next < 0 || next >= count || next == at) return;
  SetFocus(stops[next]);
  if (m_announceButtons && std::string(stops[next]->ClassName()) == "Button") {
    Current<Announcer>().Announce(WithoutMnemonic(stops[next]->Text()), 3);
  }
}

bool Dialog::PressMnemonic(wchar_t ch) {
  const auto wanted = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(ch)));
  for (auto& control : m_controls) {
    if (std::string(control->ClassName()) == "Button" && Mnemonic(control->Text()) == wanted) {
      SendMessage(control.get(), BM_CLICK);
      return true;
    }
  }
  return false;
}

void Dialog::GiveUp() {
  Command(IDCANCEL, GetDlgItem(IDCANCEL));
  if (!m_ended) EndDialog(IDCANCEL);
}

bool Dialog::DialogProc(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool Dialog::ReflectNotifications(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message != WM_COMMAND || lParam == 0) return false;
  HWND child = reinterpret_cast<HWND>(lParam);
  if (!IsWindow(child)) return false;
  result = SendMessage(child, OCM__BASE + message, wParam, lParam);
  return true;
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (DialogProc(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      return 1;
    case WM_COMMAND: {
      const int id = static_cast<int>(LOWORD(wParam));
      if (id == IDOK || id == IDCANCEL) EndDialog(id);
      return 0;
    }
    case WM_CLOSE:
      Command(IDCANCEL, GetDlgItem(IDCANCEL));
      return 0;
    case DM_GETDEFID: {
      for (auto& control : m_controls) {
        if (std::string(control->ClassName()) == "Button" && (control->Style() & BS_DEFPUSHBUTTON)) {
          return static_cast<LRESULT>(MAKEWPARAM(static_cast<unsigned>(control->Id()), kHasDefaultId));
        }
      }
      return static_cast<LRESULT>(MAKEWPARAM(IDOK, kHasDefaultId));
    }
    case WM_GETDLGCODE:
      return 0;
    default:
      return Window::WindowProc(message, wParam, lParam);
  }
}

HWND GetActiveWindow() { return Dialog::Active(); }

bool EndDialog(HWND dialog, int code) {
  auto* d = dynamic_cast<Dialog*>(IsWindow(dialog) ? dialog : nullptr);
  if (d == nullptr) return false;
  d->EndDialog(code);
  return true;
}

HWND GetDlgItem(HWND dialog, int id) {
  auto* d = dynamic_cast<Dialog*>(IsWindow(dialog) ? dialog : nullptr);
  return d != nullptr ? d->GetDlgItem(id) : nullptr;
}

}  // namespace platform
