#include "platform/win/FolderBrowser.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/file/FileSystem.h"
#include "platform/locale/CodePage.h"
#include "platform/win/Announcer.h"
#include "platform/win/Dialog.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/Window.h"

namespace platform {

namespace {

constexpr int kFolderList = 1100;
constexpr int kCutOffAndSpeak = 3;
const wchar_t kUp[] = L"..";

const DialogTemplate kChooser{
    0,
    L"Choose a folder",
    186,
    200,
    {
        {IDC_STATIC, ControlKind::kStatic, L"", WS_GROUP, 7, 7, 172, 20},
        {kFolderList, ControlKind::kListBox, L"", WS_TABSTOP | LBS_NOTIFY | LBS_SORT, 7, 30, 172, 160},
    }};

std::string ParentFolder(const std::string& folder) {
  if (folder == "/") return folder;
  const size_t slash = folder.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string NameOf(const std::string& folder) {
  if (folder == "/") return folder;
  return folder.substr(folder.rfind('/') + 1);
}

// An absolute path without "." or ".." parts or a trailing slash; relative
// paths are taken from the working folder.
std::string Absolute(const std::string& path) {
  std::string whole = path;
  if (whole.empty() || whole[0] != '/') {
    std::vector<char> cwd(PATH_MAX);
    whole = (getcwd(cwd.data(), cwd.size()) ? std::string(cwd.data()) : "/") + "/" + whole;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= whole.size()) {
    size_t end = whole.find('/', start);
    if (end == std::string::npos) end = whole.size();
    const std::string part = whole.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  return result.empty() ? "/" : result;
}

// The folders directly under folder; false when it cannot be listed.
bool Subfolders(const std::string& folder, std::vector<std::string>& names) {
  std::vector<FolderEntry> entries;
  if (!Current<FileSystem>().ListFolder(folder + (folder == "/" ? "" : "/"), entries)) {
    return false;
  }
  names.clear();
  for (const FolderEntry& entry : entries) {
    if (entry.isDirectory) names.push_back(entry.name);
  }
  return true;
}

void Say(const std::wstring& text) { Current<Announcer>().Announce(text, kCutOffAndSpeak); }

// The list sees its keys before the list box does: Right and Left move
// between folders, Enter on ".." moves up, and each move of the cursor says
// where it stands.
class ChooserList : public Subclass {
 public:
  explicit ChooserList(class Chooser& chooser) : m_chooser(chooser) {}

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  class Chooser& m_chooser;
};

class Chooser : public Dialog {
 public:
  Chooser(std::string start, std::string title)
      : m_start(Absolute(start)), m_title(std::move(title)), m_list(*this) {}

  std::string m_chosen;

  // The entry under the cursor; empty when none.
  std::wstring CurrentEntry() const {
    const HWND list = GetDlgItem(kFolderList);
    const LRESULT index = SendMessage(list, LB_GETCURSEL);
    if (index < 0) return std::wstring();
    const LRESULT length = SendMessage(list, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    std::vector<wchar_t> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
    const LRESULT got = SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(buffer.data()));
    return got < 0 ? std::wstring() : std::wstring(buffer.data(), static_cast<size_t>(got));
  }

  void Down() {
    const std::wstring entry = CurrentEntry();
    if (entry.empty()) return;
    if (entry == kUp) {
      Up();
      return;
    }
    const std::string target = Join(m_folder, WideToMultiByte(entry));
    if (!Show(target, "")) return;
  }

  void Up() {
    if (m_folder == "/") return;
    const std::string from = NameOf(m_folder);
    Show(ParentFolder(m_folder), from);
  }

  // Enter: ".." moves up; a folder is chosen.
  void Accept() {
    const std::wstring entry = CurrentEntry();
    if (entry == kUp) {
      Up();
      return;
    }
    m_chosen = entry.empty() ? m_folder : Join(m_folder, WideToMultiByte(entry));
    EndDialog(IDOK);
  }

 protected:
  bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    result = 0;
    if (message == WM_INITDIALOG) {
      SetWindowText(this, MultiByteToWide(m_title));
      m_list.SubclassWindow(GetDlgItem(kFolderList));
      SetFocus(GetDlgItem(kFolderList));
      // The start folder selected, among its siblings; a start folder that
      // cannot be listed from its parent is shown itself.
      if (m_start == "/" || !Show(ParentFolder(m_start), NameOf(m_start), false)) {
        Show(m_start, "", false);
      }
      result = 1;
      return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
      Accept();
      return true;
    }
    return ReflectNotifications(message, wParam, lParam, result);
  }

 private:
  // Lists folder with select under the cursor (the first entry when empty
  // or absent); false, saying so, when it cannot be opened.
  bool Show(const std::string& folder, const std::string& select, bool announce = true) {
    std::vector<std::string> names;
    if (!Subfolders(folder, names)) {
      Say(L"Cannot open " + MultiByteToWide(NameOf(folder)));
      return false;
    }
    m_folder = folder;
    const HWND list = GetDlgItem(kFolderList);
    SendMessage(list, LB_RESETCONTENT);
    if (folder != "/") SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kUp));
    for (const std::string& name : names) {
      const std::wstring wide = MultiByteToWide(name);
      SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    LRESULT index = 0;
    if (!select.empty()) {
      const std::wstring wide = MultiByteToWide(select);
      index = SendMessage(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(wide.c_str()));
      if (index < 0) index = 0;
    }
    SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(index));
    SetWindowText(GetDlgItem(IDC_STATIC), MultiByteToWide(folder));
    if (announce) {
      Say(MultiByteToWide(NameOf(folder)) + L", " + std::to_wstring(names.size()) +
          (names.size() == 1 ? L" folder" : L" folders"));
    }
    return true;
  }

  const std::string m_start;
  const std::string m_title;
  std::string m_folder;
  ChooserList m_list;
};

LRESULT ChooserList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    if (wParam == VK_RIGHT) {
      m_chooser.Down();
      return 0;
    }
    if (wParam == VK_LEFT) {
      m_chooser.Up();
      return 0;
    }
  }
  if (message == OCM_COMMAND) {
    if (HIWORD(wParam) == LBN_SELCHANGE) Say(m_chooser.CurrentEntry());
    return 0;
  }
  return DefWindowProc(message, wParam, lParam);
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::string& start, const std::string& title,
                     std::string& chosen) {
  Chooser chooser(start, title);
  if (chooser.DoModal(owner, kChooser) != IDOK || chooser.m_chosen.empty()) return false;
  chosen = chooser.m_chosen;
  return true;
}

}  // namespace platform
