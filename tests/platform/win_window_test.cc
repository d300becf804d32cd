// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/platform/WinTestSupport.h"
#include "platform/win/MessageQueue.h"

using namespace wintest;

namespace {

class Counter : public Window {
 public:
  Counter() : Window(nullptr, 7, 0, L"start") {}
  int seen = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER) return ++seen;
    return Window::WindowProc(message, wParam, lParam);
  }
};

class Spy : public Subclass {
 public:
  std::vector<UINT> seen;
  bool keepUserMessages = false;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(message);
    if (keepUserMessages && message == WM_USER) return 100;
    return DefWindowProc(message, wParam, lParam);
  }
};

TEST(WindowTest, SendRunsTheHandlerAtOnceAndPostQueues) {
  Counter window;
  EXPECT_EQ(SendMessage(&window, WM_USER), 1);
  EXPECT_TRUE(PostMessage(&window, WM_USER, 1, 2));
  EXPECT_EQ(window.seen, 1);
  QueuedMessage queued;
  ASSERT_TRUE(TakeQueued(queued));
  EXPECT_EQ(queued.window, &window);
  EXPECT_EQ(queued.message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(queued.wParam, 1u);
  EXPECT_EQ(queued.lParam, 2);
  EXPECT_FALSE(TakeQueued(queued));
}

TEST(WindowTest, TextMessagesReadAndWriteTheText) {
  Counter window;
  EXPECT_EQ(GetWindowText(&window), L"start");
  EXPECT_TRUE(SetWindowText(&window, L"caf\u00e9 \U0001F600"));
  EXPECT_EQ(GetWindowText(&window), L"caf\u00e9 \U0001F600");
  EXPECT_EQ(SendMessage(&window, WM_GETTEXTLENGTH), 6);
  wchar_t small[3];
  EXPECT_EQ(SendMessage(&window, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(small)), 2);
  EXPECT_EQ(std::wstring(small), L"ca");
}

TEST(WindowTest, AGoneWindowIsKnownAndGetsNothing) {
  HWND gone;
  {
    Counter window;
    gone = &window;
    EXPECT_TRUE(IsWindow(gone));
    PostMessage(&window, WM_USER);
  }
  EXPECT_FALSE(IsWindow(gone));
  EXPECT_EQ(SendMessage(gone, WM_USER), 0);
  EXPECT_FALSE(PostMessage(gone, WM_USER));
  QueuedMessage queued;
  EXPECT_FALSE(TakeQueued(queued));  // its posted message went with it
}

TEST(WindowTest, ASubclassSeesMessagesFirstAndPassesThemOn) {
  Counter window;
  Spy spy;
  ASSERT_TRUE(spy.SubclassWindow(&window));
  EXPECT_FALSE(spy.SubclassWindow(&window));
  EXPECT_EQ(SendMessage(&window, WM_USER), 1);
  EXPECT_EQ(spy.seen, std::vector<UINT>{WM_USER});
  spy.keepUserMessages = true;
  EXPECT_EQ(SendMessage(&window, WM_USER), 100);
  EXPECT_EQ(window.seen, 1);
  EXPECT_EQ(spy.UnsubclassWindow(), &window);
  EXPECT_EQ(SendMessage(&window, WM_USER), 2);
  EXPECT_EQ(spy.seen.size(), 2u);
}

TEST(WindowTest, StackedSubclassesSeeMessagesLastAttachedFirst) {
  Counter window;
  Spy inner;
  Spy outer;
  inner.SubclassWindow(&window);
  outer.SubclassWindow(&window);
  outer.keepUserMessages = true;
  EXPECT_EQ(SendMessage(&window, WM_USER), 100);
  EXPECT_TRUE(inner.seen.empty());
  inner.UnsubclassWindow();  // from under the other one
  outer.keepUserMessages = false;
  EXPECT_EQ(SendMessage(&window, WM_USER), 1);
  EXPECT_TRUE(inner.seen.empty());
}

TEST(WindowTest, ADestroyedWindowDetachesItsSubclassAfterWmDestroy) {
  Spy spy;
  {
    Counter window;
    spy.SubclassWindow(&window);
  }
  EXPECT_EQ(spy.seen, std::vector<UINT>{WM_DESTROY});
  EXPECT_EQ(spy.m_hWnd, nullptr);
}

TEST(WindowTest, FocusTellsBothWindows) {
  Counter a;
  Spy spyA;
  spyA.SubclassWindow(&a);
  Counter b;
  Spy spyB;
  spyB.SubclassWindow(&b);
  SetFocus(&a);
  EXPECT_EQ(GetFocus(), &a);
  EXPECT_EQ(SetFocus(&b), &a);
  EXPECT_EQ(spyA.seen, (std::vector<UINT>{WM_SETFOCUS, WM_KILLFOCUS}));
  EXPECT_EQ(spyB.seen, std::vector<UINT>{WM_SETFOCUS});
  SetFocus(nullptr);
}

}  // namespace
