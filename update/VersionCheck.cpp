// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/VersionCheck.h"

#include <boost/lexical_cast.hpp>
#include <vector>

#include "text/Tokenize.h"
#include "update/HttpRetriever.h"
#include "update/VersionCheckUrl.h"

namespace {

using Pieces = std::vector<std::string>;

constexpr size_t kReplyPieces = 5;
constexpr size_t kVersionPieces = 4;

bool IsDecimal(const std::string& piece) {
  return piece.find_first_not_of("0123456789") == std::string::npos;
}

// The pieces written one after the other (1.2.10.3 gives 12103), read as a
// decimal int. False for a piece that is not digits only, or a number too
// large for an int.
bool JoinedNumber(Pieces::const_iterator begin, Pieces::const_iterator end,
                  int* number) {
  std::string digits;
  for (auto piece = begin; piece != end; ++piece) {
    if (!IsDecimal(*piece)) return false;
    digits += *piece;
  }
  return boost::conversion::try_lexical_convert(digits, *number);
}

std::string JoinedWithDots(Pieces::const_iterator begin, Pieces::const_iterator end) {
  std::string joined;
  for (auto piece = begin; piece != end; ++piece) {
    if (!joined.empty()) joined += '.';
    joined += *piece;
  }
  return joined;
}

}  // namespace

bool CheckVersion(const VersionStrings& versions, const std::string& server,
                  int& difference, CTTSString& text) {
  const std::string& productName = versions[kProductName];
  const std::string& fileVersion = versions[kFileVersion];
  const std::string url = VersionCheckUrl(server, productName, fileVersion);
  CHttpRetriever retriever;
  const char* reply = retriever.Fetch(url.c_str());
  if (reply == nullptr) return false;
  text = CTTSString(reply);

  const Pieces remote = Tokenize(std::string(reply), ",");
  const Pieces local = Tokenize(fileVersion, ".");
  if (remote.size() != kReplyPieces || local.size() < kVersionPieces) return false;
  int localNumber = 0;
  int remoteNumber = 0;
  if (!JoinedNumber(local.begin(), local.begin() + kVersionPieces, &localNumber) ||
      !JoinedNumber(remote.begin() + 1, remote.end(), &remoteNumber)) {
    return false;
  }
  text = CTTSString(productName + ": " + JoinedWithDots(remote.begin() + 1, remote.end()));
  // Both numbers are at least 0, so the difference always fits.
  difference = remoteNumber - localNumber;
  return true;
}
