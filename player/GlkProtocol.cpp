// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GlkProtocol.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cwctype>

#include "platform/locale/TextEncoding.h"
#include "player/ScreenText.h"

namespace player {

using nlohmann::json;

namespace {

// Values are read leniently: a field of the wrong type counts as missing,
// so that one odd field never loses a whole turn of the game's text.
int IntOf(const json& object, const char* key, int otherwise = 0) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_number()) return otherwise;
  const double value = it->get<double>();
  if (!(value >= INT_MIN && value <= INT_MAX)) return otherwise;
  return static_cast<int>(value);
}

std::string StringOf(const json& object, const char* key) {
  const auto it = object.find(key);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool BoolOf(const json& object, const char* key) {
  const auto it = object.find(key);
  return it != object.end() && it->is_boolean() && it->get<bool>();
}

std::vector<GlkSpan> SpansOf(const json& runs) {
  std::vector<GlkSpan> spans;
  if (!runs.is_array()) return spans;
  for (size_t i = 0; i < runs.size(); ++i) {
    const json& run = runs[i];
    if (run.is_object()) {
      GlkSpan span;
      span.style = StringOf(run, "style");
      span.text = platform::WideFromUtf8(StringOf(run, "text"));
      const auto css = run.find("css_styles");
      span.reverse = css != run.end() && css->is_object() && css->contains("reverse") &&
                     !(*css)["reverse"].is_null() && (*css)["reverse"] != 0 &&
                     (*css)["reverse"] != false;
      if (span.style.empty()) span.style = "normal";
      spans.push_back(std::move(span));
    } else if (run.is_string() && i + 1 < runs.size() && runs[i + 1].is_string()) {
      // The older form: a style name, then its text.
      spans.push_back(
          {run.get<std::string>(), platform::WideFromUtf8(runs[i + 1].get<std::string>()), false});
      ++i;
    }
  }
  return spans;
}

GlkContent ContentOf(const json& item) {
  GlkContent content;
  content.id = IntOf(item, "id");
  content.clear = BoolOf(item, "clear");
  const auto text = item.find("text");
  if (text != item.end() && text->is_array()) {
    for (const json& entry : *text) {
      if (!entry.is_object()) continue;
      GlkParagraph paragraph;
      paragraph.append = BoolOf(entry, "append");
      const auto runs = entry.find("content");
      if (runs != entry.end()) {
        paragraph.spans = SpansOf(*runs);
        if (runs->is_array()) {
          for (const json& run : *runs) {
            if (run.is_object() && StringOf(run, "special") == "image") paragraph.image = true;
          }
        }
      }
      content.text.push_back(std::move(paragraph));
    }
  }
  const auto lines = item.find("lines");
  if (lines != item.end() && lines->is_array()) {
    for (const json& entry : *lines) {
      if (!entry.is_object()) continue;
      GlkGridLine line;
      line.line = IntOf(entry, "line", -1);
      if (line.line < 0) continue;
      const auto runs = entry.find("content");
      if (runs != entry.end()) line.spans = SpansOf(*runs);
      content.lines.push_back(std::move(line));
    }
  }
  const auto draw = item.find("draw");
  content.draws = draw != item.end() && draw->is_array() && !draw->empty();
  return content;
}

std::string Line(const json& event) { return event.dump(-1, ' ', false, json::error_handler_t::replace) + "\n"; }

}  // namespace

bool ParseUpdate(const std::string& text, GlkUpdate& update, std::string& fault) {
  // Game text that is not UTF-8 is mended, not refused: one bad byte in a
  // story's text must not end the game.
  const std::string valid =
      platform::IsUtf8(text) ? text : platform::Utf8FromWide(platform::WideFromUtf8(text));
  const json object = json::parse(valid, nullptr, false);
  if (object.is_discarded() || !object.is_object()) {
    fault = "wrote something that is not JSON";
    return false;
  }
  const std::string type = StringOf(object, "type");
  if (type == "error") {
    update.error = StringOf(object, "message");
    if (update.error.empty()) update.error = "an error without a message";
    return true;
  }
  if (type != "update") {
    fault = "wrote an object of unknown type \"" + type.substr(0, 40) + "\"";
    return false;
  }
  const auto gen = object.find("gen");
  if (gen != object.end() && gen->is_number_integer()) update.gen = gen->get<int64_t>();
  const auto windows = object.find("windows");
  if (windows != object.end() && windows->is_array()) {
    update.windows.emplace();
    for (const json& entry : *windows) {
      if (!entry.is_object()) continue;
      GlkWindow window;
      window.id = IntOf(entry, "id");
      window.type = StringOf(entry, "type");
      window.kind = WindowKindOf(window.type);
      window.rock = IntOf(entry, "rock");
      window.top = IntOf(entry, "top");
      window.left = IntOf(entry, "left");
      window.width = IntOf(entry, "width");
      window.height = IntOf(entry, "height");
      window.gridWidth = IntOf(entry, "gridwidth");
      window.gridHeight = IntOf(entry, "gridheight");
      update.windows->push_back(window);
    }
  }
  const auto content = object.find("content");
  if (content != object.end() && content->is_array()) {
    for (const json& item : *content) {
      if (item.is_object()) update.content.push_back(ContentOf(item));
    }
  }
  const auto input = object.find("input");
  if (input != object.end() && input->is_array()) {
    for (const json& entry : *input) {
      if (!entry.is_object()) continue;
      GlkInputRequest request;
      request.id = IntOf(entry, "id");
      request.type = StringOf(entry, "type");
      request.maxLength = IntOf(entry, "maxlen");
      request.initial = platform::WideFromUtf8(StringOf(entry, "initial"));
      if (request.type == "line" || request.type == "char") update.input.push_back(request);
    }
  }
  const auto special = object.find("specialinput");
  if (special != object.end() && special->is_object()) {
    update.specialInput = GlkSpecialInput{StringOf(*special, "type"), StringOf(*special, "filemode"),
                                          StringOf(*special, "filetype")};
  }
  const auto timer = object.find("timer");
  if (timer != object.end()) {
    update.timerChanged = true;
    if (timer->is_number()) {
      const int interval = IntOf(object, "timer", -1);
      if (interval >= 0) update.timerInterval = interval;
    }
  }
  update.exit = BoolOf(object, "exit");
  update.disable = BoolOf(object, "disable");
  return true;
}

void GlkReader::Feed(const std::string& bytes) {
  if (!m_fault.empty()) return;
  m_pending += bytes;
  Scan();
}

void GlkReader::Scan() {
  // Objects are found by their braces, strings and escapes skipped, so the
  // interpreter's blank lines between updates are not needed.
  size_t start = 0;
  for (size_t i = m_scanned; i < m_pending.size(); ++i) {
    const char c = m_pending[i];
    if (m_depth == 0) {
      if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
        start = i + 1;
        continue;
      }
      if (c != '{') {
        // Shown to the player: escape sequences go whole.
        const std::string shown =
            platform::Utf8FromWide(ForScreen(platform::WideFromUtf8(m_pending.substr(i, 60)), false));
        m_fault = "wrote something that is not JSON: \"" + shown + "\"";
        m_pending.clear();
        return;
      }
      start = i;
      m_depth = 1;
      continue;
    }
    if (m_inString) {
      if (m_escaped) m_escaped = false;
      else if (c == '\\') m_escaped = true;
      else if (c == '"') m_inString = false;
      continue;
    }
    if (c == '"') m_inString = true;
    else if (c == '{' || c == '[') ++m_depth;
    else if (c == '}' || c == ']') {
      if (--m_depth == 0) {
        m_objects.push_back(m_pending.substr(start, i + 1 - start));
        start = i + 1;
      }
    }
  }
  m_pending.erase(0, std::min(start, m_pending.size()));
  m_scanned = m_pending.size();
  if (m_depth > 0 && m_pending.size() > kObjectLimit) {
    m_fault = "sent an update larger than 16 MiB";
    m_pending.clear();
    m_pending.shrink_to_fit();
  }
}

std::optional<GlkUpdate> GlkReader::Next() {
  if (m_nextObject >= m_objects.size()) {
    m_objects.clear();
    m_nextObject = 0;
    return std::nullopt;
  }
  std::string text = std::move(m_objects[m_nextObject++]);
  GlkUpdate update;
  std::string fault;
  if (!ParseUpdate(text, update, fault)) {
    if (m_fault.empty()) m_fault = fault;
    m_objects.clear();
    m_nextObject = 0;
    return std::nullopt;
  }
  return update;
}

std::string InitEvent(int width, int height, const std::vector<std::string>& support) {
  json event = {{"type", "init"},
                {"gen", 0},
                {"metrics", {{"width", width}, {"height", height}, {"charwidth", 1}, {"charheight", 1}}},
                {"support", support}};
  return Line(event);
}

std::string LineEvent(int64_t gen, int window, const std::wstring& value) {
  return Line({{"type", "line"}, {"gen", gen}, {"window", window},
               {"value", platform::Utf8FromWide(value)}});
}

std::string CharEvent(int64_t gen, int window, const std::wstring& value) {
  return Line({{"type", "char"}, {"gen", gen}, {"window", window},
               {"value", platform::Utf8FromWide(value)}});
}

GlkWindowKind WindowKindOf(const std::string& type) {
  if (type == "buffer") return GlkWindowKind::kBuffer;
  if (type == "grid") return GlkWindowKind::kGrid;
  if (type == "graphics") return GlkWindowKind::kGraphics;
  if (type == "pair") return GlkWindowKind::kPair;
  return GlkWindowKind::kOther;
}

std::string TimerEvent(int64_t gen) { return Line({{"type", "timer"}, {"gen", gen}}); }

std::string ArrangeEvent(int64_t gen, int width, int height) {
  return Line({{"type", "arrange"},
               {"gen", gen},
               {"metrics", {{"width", width}, {"height", height}, {"charwidth", 1}, {"charheight", 1}}}});
}

std::string FileEvent(int64_t gen, const std::optional<std::string>& path) {
  json event = {{"type", "specialresponse"}, {"gen", gen}, {"response", "fileref_prompt"}};
  event["value"] = path ? json(*path) : json(nullptr);
  return Line(event);
}

std::string GlkSession::Start(int width, int height) {
  m_busy = true;
  return InitEvent(width, height, {"timer"});
}

std::optional<GlkUpdate> GlkSession::Next() {
  if (!m_fault.empty()) return std::nullopt;
  std::optional<GlkUpdate> update = m_reader.Next();
  if (!update) return update;
  m_lastWasAnswer = m_busy;
  m_unasked = m_busy ? 0 : m_unasked + 1;
  if (m_unasked > kUnaskedLimit) {
    m_fault = "sends updates nothing asked for";
    return std::nullopt;
  }
  m_busy = false;
  if (!update->error.empty()) return update;
  m_gen = update->gen;
  // An update lists every request still open; none means none is.
  m_input = update->input;
  m_special = update->specialInput;
  if (update->timerChanged) m_timer = update->timerInterval;
  if (m_timer && *m_timer <= 0) m_timer.reset();
  if (update->exit) {
    m_exit = true;
    m_input.clear();
    m_special.reset();
    m_timer.reset();
  }
  if (update->disable) m_input.clear();
  // An interpreter that cannot go on (a damaged story) says why in the
  // alert style and ends as a finished game does: its words tell the two
  // apart.
  if ((update->exit || update->disable) && m_fatal.empty()) {
    for (const GlkContent& content : update->content) {
      for (const GlkParagraph& paragraph : content.text) {
        for (const GlkSpan& span : paragraph.spans) {
          if (span.style != "alert") continue;
          std::wstring lower = span.text;
          for (wchar_t& ch : lower) ch = static_cast<wchar_t>(std::towlower(ch));
          if (lower.find(L"fatal error") != std::wstring::npos) m_fatal = span.text;
        }
      }
    }
  }
  return update;
}

const GlkInputRequest* GlkSession::LineInput() const {
  for (const GlkInputRequest& request : m_input) {
    if (request.type == "line") return &request;
  }
  return nullptr;
}

const GlkInputRequest* GlkSession::CharInput() const {
  for (const GlkInputRequest& request : m_input) {
    if (request.type == "char") return &request;
  }
  return nullptr;
}

std::string GlkSession::AnswerLine(const std::wstring& line) { return Answer(LineInput(), LineEvent, line); }

std::string GlkSession::AnswerChar(const std::wstring& key) { return Answer(CharInput(), CharEvent, key); }

std::string GlkSession::Answer(const GlkInputRequest* request,
                               std::string (*event)(int64_t, int, const std::wstring&),
                               const std::wstring& value) {
  if (request == nullptr || m_special || m_busy) return std::string();
  const std::string text = event(m_gen, request->id, value);
  m_input.clear();
  m_busy = true;
  return text;
}

std::string GlkSession::AnswerFile(const std::optional<std::string>& path) {
  if (!m_special || m_busy) return std::string();
  m_special.reset();
  m_busy = true;
  return FileEvent(m_gen, path);
}

std::string GlkSession::TimerTick() {
  if (!m_timer || m_exit || m_busy) return std::string();
  m_busy = true;
  // The game's requests stay open across a tick; only the update that
  // answers it says what is open then.
  return TimerEvent(m_gen);
}

std::string GlkSession::Resize(int width, int height) {
  if (m_exit || !Started() || m_busy) return std::string();
  m_busy = true;
  return ArrangeEvent(m_gen, width, height);
}

}  // namespace player
