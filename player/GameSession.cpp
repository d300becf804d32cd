// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameSession.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>

#include <narro/Narro.h>

#include "platform/locale/TextEncoding.h"
#include "player/InterpreterCommand.h"
#include "player/KeptFiles.h"
#include "player/PlayerScreen.h"
#include "player/PlayerVoice.h"
#include "player/ScreenText.h"
#include "player/Settings.h"
#include "player/StoryFiles.h"
#include "player/StoryFormat.h"
#include "player/Terminal.h"

namespace player {

namespace {

// The interpreter's output is read in pieces this large, so that keys are
// still read while a game floods the screen.
constexpr size_t kReadPiece = 1u << 20;

}  // namespace

bool GameSession::Start(const std::string& story) {
  // The game before, if any, has its files placed and kept first.
  End();
  m_story = story;
  const StoryInfo info = IdentifyStory(story);
  m_storyName = info.title;
  InterpreterLaunch launch;
  std::string error;
  if (!InterpreterCommand(m_settings.interpreter, VmFor(info.format), story, launch, error)) {
    Fault(error);
    return false;
  }
  if (!m_private.Make(error)) {
    Fault(error);
    return false;
  }
  m_files.Reset(m_private.Path());
  if (MayHaveKeptFiles(m_dataFolder, story) && !m_files.Seed(GameFilesFolder(story), error)) {
    Fault("the game's own files cannot be read: " + error);
    return false;
  }
  const std::string shortcomings = CageShortcomings();
  if (!shortcomings.empty() && !m_toldCage) {
    m_toldCage = true;
    m_narro.ToLog(shortcomings.c_str());
  }
  m_width = std::clamp(m_terminal.Columns(), 20, 1000);
  m_height = std::clamp(m_terminal.Rows(), 5, 1000);
  m_session.emplace();
  m_view.emplace();
  m_view->SetAnnounceRoom(m_settings.announceRoom);
  m_firstTurn = true;
  m_game.OnNewGame();
  m_loop.StopTimer();
  m_narro.ClearBuffer();
  if (!StartCaged(m_interpreter, launch, story, m_private.Path(), true, error)) {
    Fault(error);
    return false;
  }
  Send(m_session->Start(m_width, m_height));
  return !m_game.Done();
}

void GameSession::End() {
  m_interpreter.Stop();
  // Transcripts and data files reach their place at the latest now, and
  // what the game made by name goes back to its own folder.
  TellPlaced(m_files.PlaceFinished(-1, true));
  const std::string story = m_story;
  TellPlaced(m_files.KeepMade([&] { return GameFilesFolder(story); }));
  m_private.Remove();
}

std::string GameSession::GameFilesFolder(const std::string& story) {
  CTTSString crc;
  const std::string tag =
      m_narro.GetCRC(CTTSString(story), crc) ? std::string(static_cast<const char*>(crc)) : "";
  return KeptFilesFolder(m_dataFolder, story, tag);
}

std::vector<GameFiles::Outcome> GameSession::PlaceFinishedFiles() {
  if (!m_files.Waiting()) return {};
  return m_files.PlaceFinished(m_interpreter.Pid(), false);
}

void GameSession::TellPlaced(const std::vector<GameFiles::Outcome>& outcomes) {
  for (const GameFiles::Outcome& outcome : outcomes) {
    if (outcome.error.empty()) continue;
    const std::wstring name = platform::WideFromUtf8(BaseName(outcome.target));
    const std::wstring why = platform::WideFromUtf8(outcome.error);
    const std::wstring text = outcome.save
                                  ? L"The game was not saved as " + name + L": " + why +
                                        L". Any saved game of that name is as it was."
                                  : L"The file " + name + L" was not written: " + why + L".";
    m_voice.Show(L"[" + text + L"]\n");
    m_voice.Queue(text);
  }
}

void GameSession::OnIdle(EventLoop::Clock::time_point now) {
  // One event at a time; and none while the game waits for the answer to
  // its file question, which a Yes or No question may keep open.
  if (!m_session || m_session->Busy() || m_session->SpecialInput()) return;
  if (m_resizeWanted) {
    m_resizeWanted = false;
    m_width = std::clamp(m_terminal.Columns(), 20, 1000);
    m_height = std::clamp(m_terminal.Rows(), 5, 1000);
    Send(m_session->Resize(m_width, m_height));
  } else if (m_session->Timer() && m_loop.TimerRings(now, *m_session->Timer())) {
    Send(m_session->TimerTick());
  }
}

void GameSession::Send(const std::string& event) {
  if (event.empty()) return;
  m_loop.ExpectAnswer(kAnswerLimit);
  if (!m_interpreter.Write(event)) {
    m_interpreter.ReadErrors();
    // Its end is noticed when its output closes. One that runs on but
    // has left a pipe's worth of events unread is not reading at all:
    // the player would wait on it at every key.
    if (m_interpreter.InputOpen())
      Fault("the interpreter has stopped reading what narro-play sends");
  }
}

void GameSession::OnOutput() {
  std::string bytes;
  const bool open = m_interpreter.ReadOutput(bytes, kReadPiece);
  m_session->Feed(bytes);
  while (std::optional<GlkUpdate> update = m_session->Next()) {
    OnUpdate(*update);
    if (m_game.Done()) return;
  }
  if (!m_session->Fault().empty()) {
    m_interpreter.ReadErrors();
    Fault("the interpreter " + m_session->Fault());
    return;
  }
  if (!open) OnInterpreterEnded();
}

void GameSession::OnUpdate(const GlkUpdate& update) {
  // Only an answer meets the deadline for one.
  if (m_session->LastWasAnswer()) m_loop.Answered();
  if (!update.error.empty()) {
    // The interpreter says this player broke the protocol: nothing sensible
    // can follow.
    Fault("the interpreter refused what narro-play sent: " +
          platform::Utf8FromWide(platform::WideFromUtf8(update.error)));
    return;
  }
  GameView::Output out;
  m_view->Apply(update, out);
  // What only a voice would have said is a line of its own for a screen
  // reader; the status rows are not drawn, so nothing moves under it.
  for (const std::wstring& line : m_view->TakeHeardOnly()) {
    if (m_settings.screenReader) out.shown += L"[" + line + L"]\n";
  }
  if (!out.shown.empty() || !out.shownGrid.empty()) {
    m_screen.WriteAbove(platform::Utf8FromWide(
        WrapForScreen(ForScreen(out.shown + out.shownGrid), m_terminal.Columns())));
  }
  m_screen.Redraw();
  const std::optional<int> timer = m_session->Timer();
  if (!timer)
    m_loop.StopTimer();
  else
    m_loop.StartTimer(*timer, update.timerChanged);
  if (m_session->Waiting() || update.exit) OnGameWaits();
  // Drawn once the turn is on its way to the ear: the first time, the
  // terminal is asked where its cursor is, and a terminal slow to answer
  // must not hold the reply back.
  if (!m_game.Done() && m_view) m_screen.DrawStatus(false);
}

void GameSession::OnGameWaits() {
  // A save the game has written and closed reaches its place before the
  // game's "Ok." is heard, and the player hears after it if it could not.
  const std::vector<GameFiles::Outcome> placed = PlaceFinishedFiles();
  // Heard first: the database's bookkeeping for a new story can wait.
  SpeakTurn();
  TellPlaced(placed);
  if (m_firstTurn) OnFirstTurn();
  m_game.OnGameWaits();
}

void GameSession::OnFirstTurn() {
  m_firstTurn = false;
  // A story no database knows is added to the player's under its title,
  // so that the games list and its saved games name it.
  std::wstring known;
  if (m_game.KnownStoryName(m_story, known)) {
    m_storyName = known;
    return;
  }
  if (m_storyName.empty()) m_storyName = TitleFromBanner(m_view->Banner());
  if (m_storyName.empty()) m_storyName = platform::WideFromUtf8(StemOf(m_story));
  if (m_storyName == known) return;  // its stand-in name, and no better one
  CTTSString file(m_story);
  CTTSString name(platform::Utf8FromWide(m_storyName));
  m_narro.addNewGame(file, name);
}

void GameSession::SpeakTurn() { m_game.OnTurnHeard(m_voice.SpeakTurn(*m_view)); }

void GameSession::OnInterpreterEnded() {
  m_interpreter.ReadErrors();
  // The game's last paragraph stays on the screen above what follows.
  GameView::Output last;
  m_view->EndOpenParagraph(last);
  if (!last.shown.empty()) {
    m_screen.WriteAbove(
        platform::Utf8FromWide(WrapForScreen(ForScreen(last.shown), m_terminal.Columns())));
  }
  const bool ended = m_session->Ended();
  const bool started = m_session->Started();
  if (m_view->HasTurn()) SpeakTurn();
  std::string how;
  const int status = m_interpreter.Reap(how);
  TellPlaced(m_files.PlaceFinished(-1, true));
  // A game that ends says so first (an exit update, or its input disabled);
  // an interpreter gone while the game still waited for an answer, or
  // before answering what was sent, failed whatever its status.
  const bool quiet = !m_session->Waiting() && !m_session->Busy();
  if (!m_session->FatalError().empty()) {
    Fault("the story cannot be played (" + platform::Utf8FromWide(m_session->FatalError()) +
          "); the file may be damaged or cut short: get it again");
    return;
  }
  if (ended || (started && status == 0 && quiet)) {
    m_screen.EraseInputArea();
    m_voice.Show(L"\n[The game has ended.]\n");
    m_voice.SayAndWait(L"The game has ended.");
    m_game.OnGameOver(0);
    return;
  }
  Fault(std::string(started ? "the interpreter stopped: "
                            : "the interpreter ended before the game started: ") +
        how);
}

void GameSession::Fault(const std::string& message) {
  std::string text = message;
  const std::string errors = m_interpreter.ErrorTail();
  if (!errors.empty()) {
    // Its last words say why; the last few lines are enough.
    std::string tail = errors;
    size_t lines = 0;
    for (size_t at = tail.size(); at-- > 0;) {
      if (tail[at] == '\n' && ++lines == 4) {
        tail.erase(0, at + 1);
        break;
      }
    }
    text += "\n" + platform::Utf8FromWide(platform::WideFromUtf8(tail));
  }
  m_interpreter.Stop();
  ShowFault("narro-play: " + text);
  m_voice.Start();  // a game that failed at once is heard failing too
  m_voice.Silence();
  m_voice.SayAndWait(platform::WideFromUtf8(message));
  m_game.OnGameOver(1);
}

void GameSession::ShowFault(const std::string& message) {
  // The input area was drawn only on a terminal: a pipe or a file gets no
  // control sequences. The message goes where a program's faults go.
  if (isatty(STDOUT_FILENO)) m_screen.EraseInputArea();
  // A story's name or an interpreter's last words may hold anything.
  const std::string text =
      platform::Utf8FromWide(ForScreen(platform::WideFromUtf8(message))) + "\n";
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = write(STDERR_FILENO, text.data() + done, text.size() - done);
    if (n > 0)
      done += static_cast<size_t>(n);
    else if (n < 0 && errno != EINTR && errno != EAGAIN)
      break;  // nowhere to say it
  }
}

}  // namespace player
