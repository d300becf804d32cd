// SPDX-License-Identifier: GPL-3.0-or-later
// The two fingerprint databases, "fingerprints.xml" (shipped, only read)
// and "User_Fingerprints.xml" (the player's, rewritten by addNewGame):
//
//   <games>
//     <supported_game fingerprint="BF60EF9D" FullName="Cave Quest"
//                     sn="250101" fn="cave.z5" warn="" />
//   </games>
#include <boost/make_shared.hpp>
#include <tinyxml.h>

#include "core/AppDirectory.h"
#include "core/Log.h"
#include "platform/file/FileSystem.h"
#include "games/GameLibrary.h"
#include "games/Identification.h"
#include "games/XmlDepth.h"

namespace {

// A missing attribute reads as empty (or as the default), so that a
// hand-written record survives the next rewrite instead of vanishing.
std::string Attribute(const TiXmlElement& element, const char* name,
                      const char* fallback = "") {
  const char* value = element.Attribute(name);
  return value != nullptr ? value : fallback;
}

GamePtr ReadRecord(const TiXmlElement& element) {
  const GamePtr game = boost::make_shared<CGame>(
      Attribute(element, "FullName"), Attribute(element, "fingerprint"),
      Attribute(element, "sn"));
  game->fn = Attribute(element, "fn", "unknown");
  game->warn = Attribute(element, "warn");
  return game;
}

TiXmlElement* WriteRecord(const CGame& game) {
  auto* element = new TiXmlElement("supported_game");
  element->SetAttribute("fingerprint", game.fingerprint);
  element->SetAttribute("FullName", game.FullName);
  element->SetAttribute("sn", game.sn);
  element->SetAttribute("fn", game.fn);
  element->SetAttribute("warn", game.warn);
  return element;
}

}  // namespace

// The data folder's own copy wins, so that a player (or a test) can put a
// database in the place of the shipped one. An installed program without
// one reads its installation's share/narro/fingerprints.xml; with none
// anywhere, the data folder's path is read and fails as before.
std::string ShippedFingerprintFile() {
  const std::string own = GetAppDirectory() + "fingerprints.xml";
  const std::vector<std::string> installed = InstalledDataFolders();
  platform::FileSystem& files = platform::Current<platform::FileSystem>();
  if (installed.empty() || files.Exists(own)) return own;
  for (const std::string& folder : installed) {
    const std::string shipped = folder + "fingerprints.xml";
    if (files.Exists(shipped)) return shipped;
  }
  return own;
}
std::string UserFingerprintFile() { return GetAppDirectory() + "User_Fingerprints.xml"; }

void CGameLibrary::setLastError(const std::string& text) {
  lastError.str(std::string());
  lastError.clear();
  lastError << text;
}

namespace {

// Far above any real database, and below what would strain memory.
constexpr size_t kMaxDatabaseBytes = 64u << 20;

std::string XmlProblem(const std::string& path, const std::string& description,
                       int row, int column) {
  return "Problem with XML format, check syntax of file: " + path + "\n" +
         description + "\n" + "Line: " + std::to_string(row) +
         " Col: " + std::to_string(column) + "\n";
}

// As TinyXML's own file loading does: every line end becomes a line feed,
// so that rows count the same whichever line ends the file has.
std::string WithLineFeeds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

bool CGameLibrary::readFingerprintFile(const std::string& path) {
  std::string text;
  if (platform::ReadWholeFile(path, kMaxDatabaseBytes, text) !=
      platform::ReadResult::kRead) {
    // A missing, unreadable or oversized file reads as TinyXML reports a
    // file it cannot open.
    setLastError(XmlProblem(path, "Failed to open file", 0, 0));
    return false;
  }
  return readFingerprintText(path, text);
}

bool CGameLibrary::readFingerprintText(const std::string& path,
                                       const std::string& rawText) {
  const std::string text = WithLineFeeds(rawText);
  const XmlDepthProblem depth = MeasureXmlDepth(text, kMaxXmlDepth);
  if (depth.tooDeep) {
    setLastError(XmlProblem(path,
                            "Elements nested more than " +
                                std::to_string(kMaxXmlDepth) + " deep",
                            depth.row, depth.column));
    return false;
  }
  TiXmlBase::SetCondenseWhiteSpace(false);
  TiXmlDocument document;
  document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (document.Error()) {
    setLastError(XmlProblem(path, document.ErrorDesc(), document.ErrorRow(),
                            document.ErrorCol()));
    return false;
  }
  const TiXmlElement* games = document.FirstChildElement("games");
  if (games == nullptr) return false;
  for (const TiXmlNode* node = games->FirstChild("supported_game"); node != nullptr;
       node = node->NextSibling("supported_game")) {
    const TiXmlElement* element = node->ToElement();
    if (element == nullptr) continue;
    const GamePtr game = ReadRecord(*element);
    if (catalogue.insert(game).second) {
      LogLine("XML loaded: %s", game->FullName);
    } else {
      LogLine("Could not add game to list: %s", game->FullName);
    }
  }
  return true;
}

void CGameLibrary::loadFingerprints(const char* path, int mode) {
  if (mode == 0) {
    readFingerprintFile(path != nullptr ? std::string(path) : ShippedFingerprintFile());
  }
  readFingerprintFile(UserFingerprintFile());
}

bool CGameLibrary::writeFingerprintFile(const char* path) const {
  if (path == nullptr) return false;
  TiXmlDocument document;
  document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-16", "no"));
  auto* games = new TiXmlElement("games");
  document.LinkEndChild(games);
  for (const GamePtr& game : catalogue.get<ByFullName>()) {
    games->LinkEndChild(WriteRecord(*game));
  }
  TiXmlPrinter printer;
  document.Accept(&printer);
  return platform::Current<platform::FileSystem>().ReplaceFile(path, printer.Str());
}

bool CGameLibrary::addGameFile(const std::string& path, bool add,
                               const std::string& name) {
  const FileCrc crc = fileCRC(path);
  if (!crc.ok) {
    setLastError("Could not load file: " + path);
    return false;
  }
  const std::string fingerprint = crcText(crc.crc);
  const auto it = catalogue.find(fingerprint);
  if (it != catalogue.end()) {
    (*it)->fn = path;
    if (name != "unknown") renameGame(catalogue, it, name);
    return true;
  }
  if (!add) return true;
  const GamePtr game = boost::make_shared<CGame>(
      name, fingerprint, readStorySerial(path));
  game->fn = path;
  catalogue.insert(game);
  return true;
}
