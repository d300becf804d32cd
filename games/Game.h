// SPDX-License-Identifier: GPL-3.0-or-later
// One known game (or, in a save list, one saved game) and the catalogue that
// holds such records.
#ifndef NARRO_GAMES_GAME_H_
#define NARRO_GAMES_GAME_H_

#include <boost/multi_index/member.hpp>
#include <boost/multi_index/ordered_index.hpp>
#include <boost/multi_index_container.hpp>
#include <boost/shared_ptr.hpp>
#include <string>

class CGame {
 public:
  CGame(const std::string& fullName, const std::string& fingerprint,
        const std::string& serial)
      : fingerprint(fingerprint), FullName(fullName), sn(serial) {}

  // The catalogue is ordered by both of these. The fingerprint never
  // changes; FullName changes only through renameGame, which keeps the
  // catalogue's order sound.
  const std::string fingerprint;
  std::string FullName;

  std::string fn;
  std::string sn;
  std::string warn;
  bool found = false;
};

using GamePtr = boost::shared_ptr<CGame>;

struct ByFingerprint {};
struct ByFullName {};

// Unique by fingerprint (lookups and iteration); also ordered by FullName,
// equal names in the order they were inserted (used to write the database).
using GameSet = boost::multi_index_container<
    GamePtr,
    boost::multi_index::indexed_by<
        boost::multi_index::ordered_unique<
            boost::multi_index::tag<ByFingerprint>,
            boost::multi_index::member<CGame, const std::string,
                                       &CGame::fingerprint>>,
        boost::multi_index::ordered_non_unique<
            boost::multi_index::tag<ByFullName>,
            boost::multi_index::member<CGame, std::string, &CGame::FullName>>>>;

// The record with this fingerprint, or null.
inline GamePtr findGame(const GameSet& games, const std::string& fingerprint) {
  const auto it = games.find(fingerprint);
  return it == games.end() ? GamePtr() : *it;
}

inline void renameGame(GameSet& games, GameSet::iterator it,
                       const std::string& fullName) {
  games.modify(it, [&](const GamePtr& game) { game->FullName = fullName; });
}

#endif  // NARRO_GAMES_GAME_H_
