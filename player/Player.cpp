// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Player.h"

#include <signal.h>

#include <utility>
#include <vector>

#include <narro/Narro.h>

#include "player/PlayerSignals.h"
#include "platform/locale/TextEncoding.h"

namespace player {

Player::Player(CNarro& narro, const PlayerSetup& setup)
    : m_narro(narro), m_setup(setup), m_settings(m_setup.settings), m_saved(m_setup.stored) {}

// The game's files are placed while the voice and the screen that tell of
// them are still there.
Player::~Player() { m_game.End(); }

int Player::Run() {
  std::string error;
  if (!m_terminal.Open(error)) {
    m_game.Fault(error);  // shown and said
    return 2;
  }
  if (!BeginPlay()) {
    m_terminal.Suspend();
    return m_exitStatus;
  }
  m_loop.Run();
  KeepSettings();
  m_game.End();
  m_screen.EraseInputArea();
  m_terminal.Suspend();
  return m_exitStatus;
}

bool Player::BeginPlay() {
  CatchSignals();
  m_narro.setFlags(m_settings.flags);
  if (m_settings.screenReader) {
    // The player's screen reader speaks what is shown; two voices at once
    // would be one too many, and no voice is even started.
    m_narro.setFlags(m_settings.flags & ~static_cast<uint32_t>(FLAG_SPEECH | FLAG_DIALOG_SPEECH));
    m_voice.KeepSilent();
  }
  CTTSString folder;
  m_narro.getDataFolder(folder);
  m_dataFolder = static_cast<const char*>(folder);
  // The interpreter starts while the voice does: the two take about as
  // long, and the banner is heard sooner.
  if (!m_game.Start(m_setup.story)) return false;
  m_voice.Start();
  if (!m_voice.Ready() && !m_settings.screenReader) {
    m_voice.Show(L"narro-play: speech could not start; the game goes on silently.\n");
  }
  return true;
}

void Player::OnSignals(const std::vector<int>& numbers) {
  for (int number : numbers) {
    if (number == SIGWINCH) {
      OnResize();
    } else {
      // Asked to stop from outside (kill, a closed terminal).
      m_quit = true;
      m_exitStatus = 128 + number;
    }
  }
  // An open question was not answered: it is No, as Escape would have it.
  if (m_quit && m_question) AnswerQuestion(false);
}

void Player::OnResize() {
  m_screen.NewRow();
  m_screen.DrawStatus(true);
  m_screen.Redraw();
  // The game hears of it when it has answered what it was sent.
  m_game.Resized();
}

void Player::OnInterpreterErrors() { m_game.ReadErrors(); }

void Player::OnInterpreterOutput() { m_game.OnOutput(); }

void Player::OnKey(const Key& key) { m_commandLine.OnKey(key); }

void Player::OnAnswerOverdue() {
  m_game.Fault("the interpreter has not answered for " +
               std::to_string(GameSession::kAnswerLimit.count()) + " seconds");
}

bool Player::GameBusy() const { return m_game.Busy(); }

void Player::OnIdle(Clock::time_point now) { m_game.OnIdle(now); }

void Player::OnNewGame() {
  m_mapReview.Forget();
  m_fileQuestions.ForgetRestore();
  m_fileQuestionWaits = false;
  m_commandLine.Forget();
}

void Player::OnGameWaits() {
  GlkSession* session = m_game.Glk();
  if (session->SpecialInput()) {
    // A question of the player's own is answered first.
    if (m_question) m_fileQuestionWaits = true;
    else OnFileQuestion();
    return;
  }
  // A save chosen with F6 answers only the question its restore command
  // brings; a game that asked none has had its chance.
  m_fileQuestions.ForgetRestore();
  // The game asks for a command: the reply is whole, before any command
  // typed ahead goes.
  if (session->LineInput()) m_mapReview.EndOfTurn(*m_game.View());
  m_commandLine.OnGameWaits();
}

void Player::OnGameOver(int status) {
  m_exitStatus = status;
  m_quit = true;
}

void Player::OnFileQuestion() { m_fileQuestions.Answer(*m_game.Glk()->SpecialInput()); }

void Player::SendFileAnswer(const std::optional<std::string>& named) {
  m_game.Send(m_game.Glk()->AnswerFile(named));
}

void Player::Ask(const std::wstring& question, YesNoQuestion::Then then) {
  AskYesNo(question, std::move(then));
}

void Player::KeepSettings() {
  if (m_setup.settingsPath.empty() || !m_setup.settingsWritable) return;
  // Nothing changed, nothing written: the file stays the user's as it is.
  if (m_setup.stored == m_saved) return;
  std::string problem;
  if (SaveSettings(m_setup.settingsPath, m_setup.stored, problem)) {
    m_saved = m_setup.stored;
  } else if (!m_toldSettingsProblem) {
    m_toldSettingsProblem = true;
    m_voice.Show(platform::WideFromUtf8("narro-play: " + problem + "\n"));
    m_voice.Say(platform::WideFromUtf8(problem));
  }
}

}  // namespace player
