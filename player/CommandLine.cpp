// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/CommandLine.h"

#include <wchar.h>

#include <algorithm>
#include <cwctype>
#include <string>

#include <narro/Narro.h>

#include "player/GameLists.h"
#include "player/GameSession.h"
#include "player/MapAndReview.h"
#include "player/PlayerScreen.h"
#include "player/PlayerVoice.h"
#include "player/ScreenText.h"
#include "player/Settings.h"
#include "platform/locale/TextEncoding.h"

namespace player {

namespace {

// A name no voice has: ChangeVoice then sets rate and volume only.
const char kNoVoiceName[] = "narro-play: rate and volume only";

struct HelpLine {
  const wchar_t* keys;
  const wchar_t* action;
};

// Every key here works in xterm, tmux and the Linux console: F-keys, and
// Alt with a letter, a digit or a punctuation mark that begins no terminal
// sequence (Alt and "[" or "O" would).
const HelpLine kHelp[] = {
    {L"F1 or Alt H", L"this list of keys"},
    {L"F2 or Alt R", L"repeat the last output"},
    {L"F3 or Alt W", L"word list; Enter puts the word into your command"},
    {L"F4 or Alt S", L"scratch list; Enter puts the word into your command"},
    {L"F5 or Alt V", L"voices"},
    {L"F6 or Alt L", L"saved games; Enter restores one, Delete deletes one"},
    {L"F7 or Alt G", L"games in the games folder; Enter asks, then ends this game and starts the chosen one"},
    {L"Alt F", L"games in another folder: choose the folder, then the game"},
    {L"F8 or Alt T", L"read the status line"},
    {L"F9 or Alt C", L"read the command line"},
    {L"Alt minus, Alt equals", L"speak slower, faster"},
    {L"Alt comma, Alt period", L"speak softer, louder"},
    {L"Alt E", L"whether Enter also says the last word of your command"},
    {L"Alt N", L"whether a new room on the status line is said"},
    {L"F10 or Alt M", L"the map: where you can go from here"},
    {L"F11 or Alt P", L"rooms known; Enter says the shortest known way there and puts it on the command line"},
    {L"Alt U", L"rooms with ways their description names that were not tried, nearest first; Enter as in Alt P"},
    {L"F12 or Alt B", L"past turns, newest first; Enter reads one whole"},
    {L"Alt J, Alt K", L"the past replies a paragraph back, a paragraph on"},
    {L"Alt D", L"the room's name and description"},
    {L"Alt X", L"skip to the last paragraph of the reply"},
    {L"Up, Down, Enter, Escape", L"in those lists: move, choose, leave; a letter goes to the next entry it begins"},
    {L"Escape", L"stop speaking; in a game's menu, Escape goes to the game"},
    {L"Up and Down", L"earlier commands"},
    {L"Control C", L"leave the game"},
};

// What ends a word for the library's echo.
bool EndsWord(wchar_t ch) { return ch != 0 && wcschr(NARRO_WORD_ENDERS, ch) != nullptr; }

std::wstring CharacterName(wchar_t ch) {
  if (ch == 0) return L"blank";
  if (ch == L' ') return L"space";
  return std::wstring(1, ch);
}

// The key names a game reading single keys gets.
const wchar_t* GlkKeyName(KeyCode code) {
  switch (code) {
    case KeyCode::kEnter: return L"return";
    case KeyCode::kEscape: return L"escape";
    case KeyCode::kBackspace:
    case KeyCode::kDelete: return L"delete";
    case KeyCode::kLeft: return L"left";
    case KeyCode::kRight: return L"right";
    case KeyCode::kUp: return L"up";
    case KeyCode::kDown: return L"down";
    case KeyCode::kHome: return L"home";
    case KeyCode::kEnd: return L"end";
    case KeyCode::kTab: return L"tab";
    case KeyCode::kPageUp: return L"pageup";
    case KeyCode::kPageDown: return L"pagedown";
    default: return nullptr;
  }
}

}  // namespace

void CommandLine::OnKey(const Key& key) {
  // An open question takes every key until one answers it.
  if (m_game.OnQuestionKey(key)) return;
  // The player's own keys work whatever the game waits for.
  if (key.code == KeyCode::kCtrlC) {
    m_game.AskToLeave();
    return;
  }
  // A list of the player's own takes its keys first; any other key
  // closes it and does what it always does.
  if (m_mapReview.ListOpen() && m_mapReview.OnListKey(key)) return;
  if (key.code == KeyCode::kFunction && key.number <= 12) {
    OnFunctionKey(key.number);
    return;
  }
  if (key.code == KeyCode::kAlt) {
    switch (std::towlower(key.ch)) {
      case L'-': AdjustVoice(-1, 0); return;
      case L'=': case L'+': AdjustVoice(1, 0); return;
      case L',': AdjustVoice(0, -10); return;
      case L'.': AdjustVoice(0, 10); return;
      case L'e': ToggleEchoLastWord(); return;
      case L'n': ToggleAnnounceRoom(); return;
      case L'f': m_lists.ChooseGame(true); return;
      case L'm': m_mapReview.SayWaysFromHere(); return;
      case L'p': m_mapReview.OpenRouteList(); return;
      case L'u': m_mapReview.OpenUnexploredList(); return;
      case L'b': m_mapReview.OpenReviewList(); return;
      case L'j': m_mapReview.StepParagraph(-1); return;
      case L'k': m_mapReview.StepParagraph(1); return;
      case L'd': m_mapReview.SayRoomDescription(); return;
      case L'x': m_mapReview.SkipToLastParagraph(); return;
      default: {
        // Alt and a letter stands for an F-key, for terminals that keep
        // the F-keys to themselves.
        const wchar_t* letters = L"hrwsvlgtc";
        const wchar_t* found = wcschr(letters, static_cast<wchar_t>(std::towlower(key.ch)));
        if (key.ch != 0 && found != nullptr) OnFunctionKey(static_cast<int>(found - letters) + 1);
        return;
      }
    }
  }
  if (key.code == KeyCode::kCtrlL) {
    m_screen.NewRow();
    m_screen.Redraw();
    return;
  }
  if (m_session.WaitsForKey()) {
    SendKeyToGame(key);
    return;
  }
  if (m_readsKeys && m_session.Busy()) {
    // Keys typed while the game answers the last one are its next ones,
    // as a command typed ahead is the next command.
    if (m_heldKeys.size() < kHeldKeyLimit) m_heldKeys.push_back(key);
    return;
  }
  switch (key.code) {
    case KeyCode::kChar:
      OnTypedCharacter(key.ch);
      return;
    case KeyCode::kEnter:
      SendCommand();
      return;
    case KeyCode::kBackspace:
    case KeyCode::kDelete: {
      const wchar_t removed = key.code == KeyCode::kBackspace ? m_editor.Backspace() : m_editor.Delete();
      if (removed != 0 && m_narro.checkFlags(FLAG_SPEECH)) m_voice.Say(CharacterName(removed));
      m_screen.Redraw();
      return;
    }
    case KeyCode::kLeft: m_editor.Left(); SayCursorCharacter(); m_screen.Redraw(); return;
    case KeyCode::kRight: m_editor.Right(); SayCursorCharacter(); m_screen.Redraw(); return;
    case KeyCode::kHome: m_editor.Home(); SayCursorCharacter(); m_screen.Redraw(); return;
    case KeyCode::kEnd: m_editor.End(); SayCursorCharacter(); m_screen.Redraw(); return;
    case KeyCode::kUp:
    case KeyCode::kDown:
      if (key.code == KeyCode::kUp) m_editor.Up(); else m_editor.Down();
      m_screen.Redraw();
      ReadCommandLine();
      return;
    case KeyCode::kEscape: StopSpeaking(); return;
    default:
      return;
  }
}

void CommandLine::OnGameWaits() {
  GlkSession* session = m_session.Glk();
  const bool readsKey = session->CharInput() != nullptr && session->LineInput() == nullptr;
  if (readsKey || session->LineInput()) m_readsKeys = readsKey;
  if (!m_heldKeys.empty() && (session->CharInput() || session->LineInput())) {
    // The keys typed ahead, in order: one to a game that reads a key (the
    // rest wait for its answer), all of them to a command line.
    std::deque<Key> held;
    held.swap(m_heldKeys);
    while (!held.empty() && !m_game.Done()) {
      const Key key = held.front();
      held.pop_front();
      OnKey(key);
      if (session->Busy() && m_readsKeys) {
        for (const Key& rest : held) m_heldKeys.push_back(rest);
        break;
      }
    }
    if (session->SpecialInput() || session->Busy()) return;
  }
  if (const GlkInputRequest* line = session->LineInput()) {
    const size_t limit =
        line->maxLength > 0 ? static_cast<size_t>(line->maxLength) : LineEditor::kLineLimit;
    m_editor.SetLimit(std::min(limit, LineEditor::kLineLimit));
    if (!m_heldLines.empty()) {
      // Typed while the game was busy: shown and cut off already.
      const std::wstring command = m_heldLines.front();
      m_heldLines.pop_front();
      m_mapReview.NoteCommand(command);
      m_session.Send(session->AnswerLine(command));
    }
  }
}

void CommandLine::Forget() {
  m_heldLines.clear();
  m_readsKeys = false;
  m_heldKeys.clear();
}

void CommandLine::Enter(const std::wstring& command) {
  m_editor.Enter();
  m_editor.Insert(command);
  SendCommand();
}

bool CommandLine::SendKeyToGame(const Key& key) {
  std::wstring value;
  if (key.code == KeyCode::kChar) {
    value.assign(1, key.ch);
  } else if (key.code == KeyCode::kFunction) {
    value = L"func" + std::to_wstring(key.number);
  } else if (const wchar_t* name = GlkKeyName(key.code)) {
    value = name;
  } else {
    return false;
  }
  const std::string event = m_session.Glk()->AnswerChar(value);
  if (event.empty()) return false;
  // The player has acted: what was being said is old news.
  m_voice.Silence();
  m_narro.ClearBuffer();
  m_session.Send(event);
  return true;
}

void CommandLine::OnFunctionKey(int number) {
  switch (number) {
    case 1: Help(); return;
    case 2: m_narro.Repeat(); return;
    case 3: InsertFromList(if_list_words); return;
    case 4: InsertFromList(if_list_scratch); return;
    case 5: m_lists.ChooseVoice(); return;
    case 6: m_lists.ChooseSaveToRestore(); return;
    case 7: m_lists.ChooseGame(false); return;
    case 8: ReadStatusLine(); return;
    case 9: ReadCommandLine(); return;
    case 10: m_mapReview.SayWaysFromHere(); return;
    case 11: m_mapReview.OpenRouteList(); return;
    case 12: m_mapReview.OpenReviewList(); return;
    default: return;
  }
}

bool CommandLine::InsertText(const std::wstring& text) {
  if (m_editor.Insert(text)) return true;
  m_voice.Tell(L"The game takes at most " + std::to_wstring(m_editor.Limit()) + L" characters.");
  return false;
}

void CommandLine::OnTypedCharacter(wchar_t ch) {
  if (ch < 0x20) return;
  const size_t before = m_editor.Cursor();
  if (!InsertText(std::wstring(1, ch))) {
    m_screen.Redraw();
    return;
  }
  // The line up to the cursor: a word is complete when a space or a
  // punctuation mark follows it there. A mark right after another (the
  // space after a comma) completes nothing new, so the word is said once.
  // Heard before the screen is drawn.
  const std::wstring& text = m_editor.Text();
  const bool repeatsEnd = EndsWord(ch) && (before == 0 || EndsWord(text[before - 1]));
  if (!repeatsEnd) {
    const std::wstring typed = text.substr(0, m_editor.Cursor());
    m_narro.MonitorInput(typed.c_str());
  }
  m_screen.Redraw();
}

void CommandLine::SayCursorCharacter() {
  if (m_narro.checkFlags(FLAG_SPEECH)) m_voice.Say(CharacterName(m_editor.AtCursor()));
}

void CommandLine::SendCommand() {
  std::wstring line = m_editor.Enter();
  if (line.size() > m_editor.Limit()) line.resize(m_editor.Limit());
  // To the game first: it answers while the screen and the voice catch up.
  GlkSession* session = m_session.Glk();
  GameView* view = m_session.View();
  const std::string event = session ? session->AnswerLine(line) : std::string();
  if (!event.empty()) m_session.Send(event);
  // The command stays on screen, after the prompt, as in a transcript.
  m_screen.WriteAbove(
      platform::Utf8FromWide(ForScreen((view ? view->OpenLine() : std::wstring()) + line)) + "\n");
  if (view) view->CommandShown();
  m_voice.Silence();
  // The last word, which no space completed, when the player asked to hear
  // it: before the reply, which queues behind it.
  if (m_settings.echoLastWord && !line.empty() && !EndsWord(line.back())) {
    m_narro.MonitorInput((line + L" ").c_str());
  }
  m_narro.ClearBuffer();
  m_lastCommand = line;
  if (!event.empty()) m_mapReview.NoteCommand(line);
  if (event.empty() && session && session->Busy() && !session->Ended() &&
      m_heldLines.size() < kHeldLineLimit) {
    // The game is still answering the last command, a timer or a resize:
    // the command goes, after any typed before it, as soon as it asks.
    m_heldLines.push_back(line);
  } else if (event.empty()) {
    m_voice.Tell(L"The game does not take a command now.");
  }
  m_screen.Redraw();
}

void CommandLine::Help() {
  std::wstring text = L"Keys of narro-play:\n";
  for (const HelpLine& line : kHelp) text += std::wstring(line.keys) + L": " + line.action + L"\n";
  m_voice.Show(text);
  m_voice.Silence();
  m_voice.QueueParagraph(text);
}

void CommandLine::InsertFromList(int type) {
  CTTSWString chosen;
  m_screen.WithDialog([&] { m_narro.getList(chosen, static_cast<if_list_type>(type), "", ""); });
  const std::wstring listed = static_cast<const wchar_t*>(chosen);
  if (listed.empty()) {
    m_voice.Tell(L"Nothing inserted.");
    return;
  }
  if (m_session.WaitsForKey()) {
    m_voice.Tell(L"The game waits for a key, not a command.");
    return;
  }
  // The game's text keeps its punctuation ("that!"); the command takes the
  // word as the player would type it. A mark alone stays as it is.
  std::wstring word = LineEditor::Bare(listed);
  if (word.empty()) word = listed;
  if (!m_editor.InsertWord(word)) {
    m_voice.Tell(L"The game takes at most " + std::to_wstring(m_editor.Limit()) +
                 L" characters. Nothing inserted.");
    m_screen.Redraw();
    return;
  }
  m_screen.Redraw();
  m_voice.Say(word);
}

void CommandLine::AdjustVoice(int rateStep, int volumeStep) {
  if (!m_voice.Ready()) return;
  std::string id;
  long rate = m_settings.rate;
  int volume = m_settings.volume;
  m_narro.GetVoice(id, rate, volume);
  rate = std::clamp<long>(rate + rateStep, -10, 10);
  volume = std::clamp(volume + volumeStep, 0, 100);
  m_narro.ChangeVoice(kNoVoiceName, rate, volume);
  m_settings.rate = m_stored.rate = rate;
  m_settings.volume = m_stored.volume = volume;
  // Said in the new setting, so the player hears what changed.
  m_voice.Tell(rateStep != 0 ? L"Rate " + std::to_wstring(rate)
                             : L"Volume " + std::to_wstring(volume));
  m_game.KeepSettings();
}

void CommandLine::ToggleEchoLastWord() {
  m_settings.echoLastWord = m_stored.echoLastWord = !m_settings.echoLastWord;
  m_voice.Tell(m_settings.echoLastWord ? L"Enter says the last word."
                                       : L"Enter does not say the last word.");
  m_game.KeepSettings();
}

void CommandLine::ToggleAnnounceRoom() {
  m_settings.announceRoom = m_stored.announceRoom = !m_settings.announceRoom;
  if (GameView* view = m_session.View()) view->SetAnnounceRoom(m_settings.announceRoom);
  m_voice.Tell(m_settings.announceRoom ? L"New rooms on the status line are said."
                                       : L"New rooms on the status line are not said.");
  m_game.KeepSettings();
}

void CommandLine::StopSpeaking() { m_voice.Silence(); }

void CommandLine::ReadStatusLine() {
  const GameView* view = m_session.View();
  const std::wstring words = view ? view->StatusWords() : std::wstring();
  m_voice.Tell(words.empty() ? std::wstring(L"No status line.") : words);
}

void CommandLine::ReadCommandLine() {
  m_voice.Say(m_editor.Text().empty() ? std::wstring(L"blank") : m_editor.Text());
}

}  // namespace player
