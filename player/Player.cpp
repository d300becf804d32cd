// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Player.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wchar.h>

#include <algorithm>
#include <cwctype>
#include <vector>

#include <narro/Narro.h>

#include "player/StoryFiles.h"
#include "player/Utf8Text.h"

namespace player {

namespace {

constexpr int kCutOffAndSpeak = 3;
constexpr int kSilence = 2;
// A name no voice has: ChangeVoice then sets rate and volume only.
const char kNoVoiceName[] = "narro-play: rate and volume only";
const char kGameExtensions[] = ".z1,.z2,.z3,.z4,.z5,.z6,.z7,.z8,.zblorb,.zlb,.dat";
const char kSaveExtensions[] = ".sav";

// How long an open line waits for more of itself before it is taken for
// the game's prompt: dfrotz writes a long line in pieces.
constexpr auto kSettle = std::chrono::milliseconds(2);
// Lines that end without a prompt are spoken after this much quiet.
constexpr auto kQuiet = std::chrono::milliseconds(300);
// A lone ESC is the Escape key when nothing follows it this soon.
constexpr auto kEscapeWait = std::chrono::milliseconds(40);

int g_signalPipe[2] = {-1, -1};

void OnSignal(int number) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  if (g_signalPipe[1] >= 0 && write(g_signalPipe[1], &byte, 1) < 0) {
  }
  errno = saved;
}

void CatchSignals() {
  if (g_signalPipe[0] < 0 && pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int number : {SIGWINCH, SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(number, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

struct HelpLine {
  const wchar_t* keys;
  const wchar_t* action;
};

const HelpLine kHelp[] = {
    {L"F1 or Alt H", L"this list of keys"},
    {L"F2 or Alt R", L"repeat the last output"},
    {L"F3 or Alt W", L"word list; Enter puts the word into your command"},
    {L"F4 or Alt S", L"scratch list; Enter puts the word into your command"},
    {L"F5 or Alt V", L"voices"},
    {L"F6 or Alt L", L"saved games; Enter restores one, Delete deletes one"},
    {L"F7 or Alt G", L"games; Enter ends this game and starts the chosen one"},
    {L"F8 or Alt T", L"read the status line"},
    {L"F9 or Alt C", L"read the command line"},
    {L"Alt minus, Alt equals", L"speak slower, faster"},
    {L"Alt left bracket, Alt right bracket", L"speak softer, louder"},
    {L"Escape", L"stop speaking"},
    {L"Up and Down", L"earlier commands"},
    {L"Control C", L"leave the game"},
};

int CellWidth(wchar_t ch) {
  const int width = wcwidth(ch);
  return width < 0 ? 1 : width;
}

int CellsOf(const std::wstring& text) {
  int cells = 0;
  for (wchar_t ch : text) cells += CellWidth(ch);
  return cells;
}

std::wstring Widen(const std::string& text) { return DecodeUtf8(text); }

std::wstring FirstWordLower(const std::wstring& line) {
  std::wstring word;
  const size_t start = line.find_first_not_of(L' ');
  if (start == std::wstring::npos) return word;
  for (size_t i = start; i < line.size() && line[i] != L' '; ++i) {
    word += static_cast<wchar_t>(std::towlower(line[i]));
  }
  return word;
}

// dfrotz reads a backslash as the start of its own commands; a player's
// backslash is sent doubled so that it reaches the game as typed.
std::string CommandBytes(const std::wstring& line) {
  std::string bytes;
  for (wchar_t ch : line) {
    if (ch < 0x20 || ch == 0x7F) continue;
    if (ch == L'\\') bytes += '\\';
    bytes += EncodeUtf8(ch);
  }
  return bytes;
}

}  // namespace

Player::Player(CNarro& narro, const PlayerSetup& setup)
    : m_narro(narro), m_setup(setup), m_settings(m_setup.settings) {}

Player::~Player() {
  m_game.Stop();
}

int Player::Run() {
  std::string error;
  if (!m_terminal.Open(error)) {
    Finish("narro-play: " + error);
    return 2;
  }
  CatchSignals();
  m_narro.setFlags(m_settings.flags);
  CTTSString root;
  m_narro.GetRoot(root);
  m_dataFolder = static_cast<const char*>(root);
  m_speechReady = m_narro.InitializeSAPI(m_settings.voiceId, m_settings.rate, m_settings.volume);
  if (!m_speechReady) {
    Show(L"narro-play: speech could not start; the game goes on silently.\n");
  }
  if (!StartGame(m_setup.story)) {
    m_terminal.Suspend();
    return 1;
  }

  while (!m_quit) {
    std::vector<struct pollfd> fds = {{STDIN_FILENO, POLLIN, 0},
                                      {g_signalPipe[0], POLLIN, 0},
                                      {m_game.Fd(), POLLIN, 0}};
    int timeout = -1;
    const Clock::time_point now = Clock::now();
    for (const auto& deadline : {m_settleUntil, m_quietUntil, m_escapeUntil}) {
      if (!deadline) continue;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - now).count() + 1;
      timeout = timeout < 0 ? std::max<int>(0, left) : std::min<int>(timeout, std::max<int>(0, left));
    }
    const int ready = poll(fds.data(), fds.size(), timeout);
    if (ready < 0 && errno != EINTR) break;

    if (fds[1].revents & POLLIN) {
      unsigned char number = 0;
      while (read(g_signalPipe[0], &number, 1) == 1) {
        if (number == SIGWINCH) {
          Terminal::Write("\r\n");
          m_cursorRow = 0;
          Redraw();
        } else {
          // Asked to stop from outside (kill, a closed terminal).
          m_quit = true;
          m_exitStatus = 128 + number;
        }
      }
      if (m_quit) break;
    }

    if (fds[2].revents & (POLLIN | POLLHUP | POLLERR)) {
      std::string bytes;
      const bool running = m_game.Read(bytes);
      if (!bytes.empty()) OnGameBytes(bytes);
      if (!running) {
        // Whatever the game said last is heard before the player ends.
        if (m_output && m_output->HasText()) SpeakTurn(false);
        std::string how;
        const int status = m_game.Reap(how);
        EraseInputArea();
        if (status == 0) {
          Show(L"\n[The game has ended.]\n");
          m_exitStatus = 0;
        } else {
          Finish("narro-play: the game stopped: " + how);
          m_exitStatus = 1;
        }
        if (m_speechReady) {
          m_narro.Speak(status == 0 ? std::wstring(L"The game has ended.")
                                    : std::wstring(L"The game stopped unexpectedly."),
                        0);
        }
        break;
      }
    }

    if (fds[0].revents & POLLIN) {
      char buffer[256];
      const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
      if (n == 0) break;  // the terminal is gone
      if (n > 0) {
        m_keys.Feed(std::string(buffer, static_cast<size_t>(n)));
        m_escapeUntil.reset();
        while (std::optional<Key> key = m_keys.Next()) {
          OnKey(*key);
          if (m_quit) break;
        }
        if (m_keys.Pending()) m_escapeUntil = Clock::now() + kEscapeWait;
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      break;
    }

    const Clock::time_point later = Clock::now();
    if (m_escapeUntil && later >= *m_escapeUntil) {
      m_escapeUntil.reset();
      while (std::optional<Key> key = m_keys.Flush()) OnKey(*key);
    }
    if (m_settleUntil && later >= *m_settleUntil) {
      m_settleUntil.reset();
      OnGameWaiting();
    }
    if (m_quietUntil && later >= *m_quietUntil) {
      m_quietUntil.reset();
      if (m_output && m_output->HasText()) SpeakTurn(false);
    }
  }

  KeepSettings();
  m_game.Stop();
  EraseInputArea();
  m_terminal.Suspend();
  return m_exitStatus;
}

bool Player::StartGame(const std::string& story) {
  m_story = story;
  CTTSString crc;
  m_crc.clear();
  if (m_narro.GetCRC(CTTSString(story.c_str()), crc)) m_crc = static_cast<const char*>(crc);
  m_saveFolder = ChooseSaveFolder(story, m_dataFolder + "saves");
  if (m_saveFolder.empty()) m_saveFolder = FolderOf(story);
  m_gameWidth = std::clamp(m_terminal.Columns(), 20, 255);
  m_gameHeight = std::clamp(m_terminal.Rows(), 5, 255);
  m_output.emplace(m_gameWidth);
  m_firstTurn = true;
  m_gameWaits = false;
  m_shownOpen.clear();
  m_pendingRestore.clear();
  m_narro.ClearBuffer();
  std::string error;
  if (!m_game.Start(m_setup.dfrotz, story, m_saveFolder, m_gameWidth, m_gameHeight, error)) {
    Finish("narro-play: " + error);
    m_exitStatus = 1;
    return false;
  }
  return true;
}

void Player::OnGameBytes(const std::string& bytes) {
  std::string rest = bytes;
  if (m_statusRowsLeft >= 0) {
    // dfrotz's screen dump, asked for the status line: read, never shown.
    size_t used = 0;
    while (used < rest.size() && m_statusRowsLeft > 0) {
      const char byte = rest[used++];
      if (byte == '\n') {
        --m_statusRowsLeft;
      } else if (m_statusRowsLeft == m_gameHeight) {
        m_statusBytes += byte;  // the top row
      }
    }
    rest.erase(0, used);
    if (m_statusRowsLeft > 0) return;
    m_statusRowsLeft = -1;
    // After the dump dfrotz shows its prompt again, which is on screen.
    m_swallow = EncodeUtf8(m_shownOpen);
    const std::wstring status = Trimmed(CleanGameText(DecodeUtf8(m_statusBytes)));
    Say(status.empty() ? std::wstring(L"No status line.") : status);
  }
  while (!m_swallow.empty() && !rest.empty() && rest[0] == m_swallow[0]) {
    rest.erase(0, 1);
    m_swallow.erase(0, 1);
  }
  if (!rest.empty()) m_swallow.clear();
  if (rest.empty()) return;
  const std::wstring text = m_output->Add(rest);
  if (text.empty()) return;
  m_gameWaits = false;
  EraseInputArea();
  std::wstring shown = m_shownOpen + text;
  const size_t lineFeed = shown.rfind(L'\n');
  m_shownOpen = lineFeed == std::wstring::npos ? shown : shown.substr(lineFeed + 1);
  Terminal::Write(EncodeUtf8(lineFeed == std::wstring::npos ? std::wstring() : shown.substr(0, lineFeed + 1)));
  m_cursorRow = 0;
  Redraw();
  if (m_output->Waiting() == GameOutput::Wait::kNothing) {
    m_settleUntil.reset();
    m_quietUntil = Clock::now() + kQuiet;
  } else {
    m_quietUntil.reset();
    m_settleUntil = Clock::now() + kSettle;
  }
}

void Player::OnGameWaiting() {
  switch (m_output->Waiting()) {
    case GameOutput::Wait::kNothing:
      return;
    case GameOutput::Wait::kFileName:
      OnFileNamePrompt();
      return;
    case GameOutput::Wait::kOverwrite:
      if (m_overwriteAnswer != 0) {
        const char answer = m_overwriteAnswer;
        m_overwriteAnswer = 0;
        m_output->Discard();
        AnswerGame(std::string(1, answer));
        return;
      }
      SpeakTurn(false);
      break;
    case GameOutput::Wait::kCommand:
      m_pendingRestore.clear();
      m_overwriteAnswer = 0;
      SpeakTurn(m_firstTurn);
      break;
  }
  m_gameWaits = true;
}

void Player::SpeakTurn(bool first) {
  std::wstring paragraphs;
  const std::wstring turn = m_output->TakeTurn(first ? &paragraphs : nullptr);
  if (first) {
    m_firstTurn = false;
    // A story no database knows is added to the player's, so that its
    // saved games are listed too.
    if (!m_crc.empty()) {
      const std::vector<std::string> databases = {
          m_dataFolder + "fingerprints.xml", m_dataFolder + "User_Fingerprints.xml",
          ExecutableFolder() + "/../share/narro/fingerprints.xml"};
      if (!FingerprintKnown(m_crc, databases)) {
        // Blank lines tell a missing title from the paragraph above it.
        std::wstring title = TitleFromBanner(paragraphs);
        std::string name = title.empty() ? StemOf(m_story) : EncodeUtf8(title);
        CTTSString file(m_story.c_str());
        CTTSString gameName(name.c_str());
        m_narro.addNewGame(file, gameName);
      }
    }
  }
  if (turn.empty()) return;
  m_narro.AddToBuffer(CTTSWString(turn));
  if (m_speechReady) m_narro.SpeakParagraph(turn, 0);
}

void Player::OnKey(const Key& key) {
  switch (key.code) {
    case KeyCode::kChar:
      OnTypedCharacter(key.ch);
      return;
    case KeyCode::kEnter: {
      const std::wstring line = m_editor.Enter();
      SendCommand(line);
      return;
    }
    case KeyCode::kBackspace: {
      const wchar_t removed = m_editor.Backspace();
      if (removed != 0 && m_narro.checkFlags(FLAG_SPEECH)) Say(std::wstring(1, removed));
      Redraw();
      return;
    }
    case KeyCode::kDelete: {
      const wchar_t removed = m_editor.Delete();
      if (removed != 0 && m_narro.checkFlags(FLAG_SPEECH)) Say(std::wstring(1, removed));
      Redraw();
      return;
    }
    case KeyCode::kLeft: m_editor.Left(); Redraw(); return;
    case KeyCode::kRight: m_editor.Right(); Redraw(); return;
    case KeyCode::kHome: m_editor.Home(); Redraw(); return;
    case KeyCode::kEnd: m_editor.End(); Redraw(); return;
    case KeyCode::kUp:
    case KeyCode::kDown:
      if (key.code == KeyCode::kUp) m_editor.Up(); else m_editor.Down();
      Redraw();
      ReadCommandLine();
      return;
    case KeyCode::kEscape: StopSpeaking(); return;
    case KeyCode::kCtrlC: AskToLeave(); return;
    case KeyCode::kCtrlL: Terminal::Write("\r\n"); m_cursorRow = 0; Redraw(); return;
    case KeyCode::kFunction:
      OnFunctionKey(key.number);
      return;
    case KeyCode::kAlt:
      switch (std::towlower(key.ch)) {
        case L'-': ChangeRate(-1); return;
        case L'=': case L'+': ChangeRate(1); return;
        case L'[': ChangeVolume(-10); return;
        case L']': ChangeVolume(10); return;
        default: {
          // Alt and a letter stands for an F-key, for terminals that keep
          // the F-keys to themselves.
          const wchar_t* letters = L"hrwsvlgtc";
          const wchar_t* found = wcschr(letters, static_cast<wchar_t>(std::towlower(key.ch)));
          if (key.ch != 0 && found != nullptr) OnFunctionKey(static_cast<int>(found - letters) + 1);
          return;
        }
      }
    default:
      return;
  }
}

void Player::OnFunctionKey(int number) {
  switch (number) {
    case 1: Help(); return;
    case 2: RepeatOutput(); return;
    case 3: InsertFromList(if_list_words); return;
    case 4: InsertFromList(if_list_scratch); return;
    case 5: ChooseVoice(); return;
    case 6: ChooseSaveToRestore(); return;
    case 7: ChooseGame(); return;
    case 8: ReadStatusLine(); return;
    case 9: ReadCommandLine(); return;
    default: return;
  }
}

void Player::OnTypedCharacter(wchar_t ch) {
  if (ch < 0x20) return;
  m_editor.Insert(std::wstring(1, ch));
  // The line up to the cursor: a word is complete when a space or a
  // punctuation mark follows it there. Heard before the screen is drawn.
  const std::wstring typed = m_editor.Text().substr(0, m_editor.Cursor());
  m_narro.MonitorInput(typed.c_str());
  Redraw();
}

void Player::SendCommand(const std::wstring& line) {
  // The command stays on screen, after the prompt, as in a transcript.
  EraseInputArea();
  Terminal::Write(EncodeUtf8(m_shownOpen + line) + "\n");
  m_shownOpen.clear();
  m_cursorRow = 0;
  if (m_speechReady) m_narro.Speak(std::wstring(), kSilence);
  m_narro.ClearBuffer();
  m_lastCommand = line;
  m_output->Discard();
  m_gameWaits = false;
  if (!m_game.WriteLine(CommandBytes(line))) Say(L"The game does not take input.");
}

void Player::AnswerGame(const std::string& answer) {
  EraseInputArea();
  Terminal::Write(EncodeUtf8(m_shownOpen) + answer + "\n");
  m_shownOpen.clear();
  m_cursorRow = 0;
  m_game.WriteLine(answer);
}

void Player::Help() {
  std::wstring text = L"Keys of narro-play:\n";
  for (const HelpLine& line : kHelp) text += std::wstring(line.keys) + L": " + line.action + L"\n";
  Show(text);
  if (m_speechReady) {
    m_narro.Speak(std::wstring(), kSilence);
    m_narro.SpeakParagraph(text, 0);
  }
}

void Player::RepeatOutput() { m_narro.Repeat(); }

void Player::InsertFromList(int type) {
  CTTSWString chosen;
  WithDialog([&] { m_narro.getList(chosen, static_cast<if_list_type>(type), "", ""); });
  const std::wstring word = static_cast<const wchar_t*>(chosen);
  if (word.empty()) return;
  m_editor.Insert(word);
  Redraw();
  Say(word);
}

void Player::ChooseVoice() {
  if (!m_speechReady) {
    Show(L"[Speech is not running: there are no voices to choose.]\n");
    return;
  }
  CTTSWString chosen;
  WithDialog([&] { m_narro.getList(chosen, if_list_voices, "", ""); });
  std::string id;
  long rate = m_settings.rate;
  int volume = m_settings.volume;
  m_narro.GetVoice(id, rate, volume);
  m_settings.voiceId = id;
  m_setup.stored.voiceId = id;
  KeepSettings();
}

void Player::ChangeRate(int step) { AdjustVoice(step, 0); }

void Player::ChangeVolume(int step) { AdjustVoice(0, step); }

void Player::AdjustVoice(int rateStep, int volumeStep) {
  if (!m_speechReady) return;
  std::string id;
  long rate = m_settings.rate;
  int volume = m_settings.volume;
  m_narro.GetVoice(id, rate, volume);
  rate = std::clamp<long>(rate + rateStep, -10, 10);
  volume = std::clamp(volume + volumeStep, 0, 100);
  m_narro.ChangeVoice(kNoVoiceName, rate, volume);
  m_settings.rate = m_setup.stored.rate = rate;
  m_settings.volume = m_setup.stored.volume = volume;
  // Said in the new setting, so the player hears what changed.
  Say(rateStep != 0 ? L"Rate " + std::to_wstring(rate) : L"Volume " + std::to_wstring(volume));
  KeepSettings();
}

void Player::StopSpeaking() {
  if (m_speechReady) m_narro.Speak(std::wstring(), kSilence);
}

void Player::ReadStatusLine() {
  if (!m_gameWaits) {
    Say(L"The status line can be read when the game waits for a command.");
    return;
  }
  // dfrotz shows its whole screen on \s without taking a turn; the top row
  // is the status line.
  m_statusBytes.clear();
  m_swallow.clear();
  m_statusRowsLeft = m_gameHeight;
  m_game.WriteLine("\\s");
}

void Player::ReadCommandLine() {
  Say(m_editor.Text().empty() ? std::wstring(L"blank") : m_editor.Text());
}

void Player::ChooseSaveToRestore() {
  if (!m_gameWaits) {
    Say(L"A saved game can be restored when the game waits for a command.");
    return;
  }
  const std::string path = ChooseSave();
  if (path.empty()) return;
  m_pendingRestore = path;
  SendCommand(L"restore");
}

std::string Player::ChooseSave() {
  m_narro.SetRoot(m_saveFolder.c_str());
  CTTSWString chosen;
  WithDialog([&] { m_narro.getList(chosen, if_list_saves, kGameExtensions, kSaveExtensions); });
  return EncodeUtf8(std::wstring(static_cast<const wchar_t*>(chosen)));
}

void Player::ChooseGame() {
  const std::string start = m_settings.gamesFolder.empty() ? FolderOf(m_story) : m_settings.gamesFolder;
  m_narro.SetRoot(start.c_str());
  CTTSWString chosen;
  WithDialog([&] { m_narro.getList(chosen, if_list_games, kGameExtensions, kSaveExtensions); });
  const std::string path = EncodeUtf8(std::wstring(static_cast<const wchar_t*>(chosen)));
  if (path.empty()) return;
  m_settings.gamesFolder = FolderOf(path);
  m_setup.stored.gamesFolder = m_settings.gamesFolder;
  KeepSettings();
  if (!AskYesNo(L"End this game and start " + Widen(StemOf(path)) + L"? Yes or No.")) {
    Say(L"The game goes on.");
    return;
  }
  m_game.Stop();
  EraseInputArea();
  Show(L"\n[Starting " + Widen(path) + L"]\n");
  if (!StartGame(path)) m_quit = true;
}

void Player::AskToLeave() {
  // A second Ctrl-C confirms.
  if (AskYesNo(L"Leave the game? What is not saved is lost. Yes or No.", true)) {
    m_quit = true;
    m_exitStatus = 0;
  } else {
    Say(L"The game goes on.");
  }
}

void Player::OnFileNamePrompt() {
  if (!m_pendingRestore.empty()) {
    std::string path = m_pendingRestore;
    m_pendingRestore.clear();
    if (FolderOf(path) == m_saveFolder) path = BaseName(path);
    m_output->Discard();
    AnswerGame(path);
    return;
  }
  const std::wstring verb = FirstWordLower(m_lastCommand);
  if (verb == L"save") {
    SaveGameAs();
  } else if (verb == L"restore" || verb == L"load") {
    RestoreGame();
  } else {
    // A transcript or a recording: the player names the file.
    SpeakTurn(false);
    m_gameWaits = true;
  }
}

void Player::SaveGameAs() {
  m_output->Discard();
  CTTSWString typed;
  WithDialog([&] {
    try {
      m_narro.getInput(typed, "Save the game as", true);
    } catch (...) {
      typed = CTTSWString();
    }
  });
  std::wstring name = Trimmed(static_cast<const wchar_t*>(typed));
  // dfrotz takes file names of at most a few dozen characters.
  if (name.size() > 48) name.resize(48);
  if (name.empty() || m_crc.empty()) {
    Say(m_crc.empty() ? L"The story file cannot be read; the game is not saved."
                      : L"Not saved.");
    CancelFileQuestion(true);
    return;
  }
  const std::string file = SaveFileName(EncodeUtf8(name), m_crc);
  struct stat info {};
  if (lstat((m_saveFolder + "/" + file).c_str(), &info) == 0) {
    if (!AskYesNo(L"A saved game called " + name + L" exists. Replace it? Yes or No.")) {
      Say(L"Not saved.");
      CancelFileQuestion(true);
      return;
    }
  }
  m_overwriteAnswer = 'y';
  AnswerGame(file);
}

void Player::RestoreGame() {
  m_output->Discard();
  std::string path = ChooseSave();
  if (path.empty()) {
    Say(L"Not restored.");
    CancelFileQuestion(false);
    return;
  }
  if (FolderOf(path) == m_saveFolder) path = BaseName(path);
  AnswerGame(path);
}

void Player::CancelFileQuestion(bool saving) {
  // dfrotz has no way to cancel its question. The folder "." always exists:
  // a save is then refused at the replace question, a restore fails to read
  // it. Either way the game reports the failure and goes on.
  if (saving) m_overwriteAnswer = 'n';
  AnswerGame(".");
}

bool Player::AskYesNo(const std::wstring& question, bool ctrlCAnswersYes) {
  EraseInputArea();
  Terminal::Write(EncodeUtf8(question) + " ");
  Say(question);
  KeyDecoder keys;
  bool answer = false;
  for (;;) {
    struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    const int ready = poll(fds, 2, keys.Pending() ? 40 : -1);
    if (ready < 0 && errno == EINTR) continue;
    if (fds[1].revents & POLLIN) {
      // A resize leaves the question open: the player who dragged the
      // window has not answered it. Any other signal is put back in its
      // pipe for the main loop, and the question is No.
      bool stop = false;
      unsigned char number = 0;
      while (!stop && read(g_signalPipe[0], &number, 1) == 1) {
        if (number == SIGWINCH) continue;
        stop = true;
        if (write(g_signalPipe[1], &number, 1) < 0) {
        }
      }
      if (stop) break;
      if (!(fds[0].revents & POLLIN)) continue;
    }
    std::optional<Key> key;
    if (ready == 0) {
      key = keys.Flush();
    } else {
      char buffer[64];
      const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) break;
      keys.Feed(std::string(buffer, static_cast<size_t>(n)));
      key = keys.Next();
    }
    if (!key) continue;
    if (key->code == KeyCode::kChar && (key->ch == L'y' || key->ch == L'Y')) {
      answer = true;
      break;
    }
    if ((key->code == KeyCode::kChar && (key->ch == L'n' || key->ch == L'N')) ||
        key->code == KeyCode::kEscape) {
      break;
    }
    if (key->code == KeyCode::kCtrlC) {
      answer = ctrlCAnswersYes;
      break;
    }
    Say(L"Yes or No?");
  }
  Terminal::Write(answer ? "Yes\n" : "No\n");
  m_cursorRow = 0;
  Redraw();
  return answer;
}

template <class Call>
void Player::WithDialog(Call call) {
  EraseInputArea();
  m_terminal.Suspend();
  call();
  m_terminal.Resume();
  m_cursorRow = 0;
  Redraw();
}

void Player::Say(const std::wstring& text) {
  if (m_speechReady) m_narro.Speak(text, kCutOffAndSpeak);
}

void Player::Show(const std::wstring& text) {
  EraseInputArea();
  Terminal::Write(EncodeUtf8(text));
  m_cursorRow = 0;
  Redraw();
}

void Player::EraseInputArea() {
  std::string out = "\r";
  if (m_cursorRow > 0) out += "\x1b[" + std::to_string(m_cursorRow) + "A";
  out += "\x1b[J";
  Terminal::Write(out);
  m_cursorRow = 0;
}

void Player::Redraw() {
  EraseInputArea();
  const int columns = std::max(1, m_terminal.Columns());
  const std::wstring all = m_shownOpen + m_editor.Text();
  const int endCells = CellsOf(all);
  const int cursorCells = CellsOf(m_shownOpen) + CellsOf(m_editor.Text().substr(0, m_editor.Cursor()));
  std::string out = EncodeUtf8(all);
  // At the very end of a row the terminal holds the cursor back until the
  // next character; a space and a return make it take the new row now.
  if (endCells > 0 && endCells % columns == 0) out += " \r\x1b[K";
  const int endRow = endCells / columns;
  const int cursorRow = cursorCells / columns;
  const int cursorColumn = cursorCells % columns;
  if (endRow > cursorRow) out += "\x1b[" + std::to_string(endRow - cursorRow) + "A";
  out += "\r";
  if (cursorColumn > 0) out += "\x1b[" + std::to_string(cursorColumn) + "C";
  Terminal::Write(out);
  m_cursorRow = cursorRow;
}

void Player::KeepSettings() {
  if (m_setup.settingsPath.empty()) return;
  // The options of this run hold for this run only: what is kept is the
  // settings as read, with what the player changed by keys.
  std::string problem;
  if (!SaveSettings(m_setup.settingsPath, m_setup.stored, problem)) {
    if (!m_toldSettingsProblem) {
      m_toldSettingsProblem = true;
      Show(Widen("narro-play: " + problem + "\n"));
    }
  }
}

void Player::Finish(const std::string& message) {
  EraseInputArea();
  Terminal::Write(message + "\n");
}

}  // namespace player
