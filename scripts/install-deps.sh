#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building and testing Narro need, and
# the interpreters narro-play runs Hugo, TADS and ADRIFT stories with
# (emglken, from the npm registry, exactly as package-lock.json pins it;
# Z-code and Glulx play on the native interpreters the build makes from
# third_party/). Quiet and quick when everything is there already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libboost-dev libtinyxml-dev libespeak-ng-dev espeak-ng-data libpcaudio-dev
  libasound2-dev libncurses-dev libcurl4-openssl-dev libelf-dev libicu-dev
  zlib1g-dev libisal-dev googletest libgtest-dev libgmock-dev
  inform6-compiler inform6-library espeak-ng tmux python3 groff-base
  nlohmann-json3-dev
  libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng
  libseccomp-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# Node.js runs emglken, for the formats without a native interpreter:
# Debian 12's own (18) plays them all.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

node_major() { node --version 2>/dev/null | sed -n 's/^v\([0-9]*\).*/\1/p'; }
major=$(node_major)
if [[ -z "$major" || "$major" -lt 18 ]]; then
  echo "narro-play needs Node.js 18 or newer for its Hugo, TADS and ADRIFT interpreters; found: $(node --version 2>/dev/null || echo none)." >&2
  exit 1
fi

# The interpreters, from the committed lock file; again only when the lock
# file changed since the last install.
cd "$(dirname "$0")/.."
if [[ ! -f node_modules/.package-lock.json || package-lock.json -nt node_modules/.package-lock.json ]]; then
  echo "Installing the interpreters (npm ci)"
  npm ci --no-audit --no-fund --loglevel=error >/dev/null
fi
# emglken's runner as one file: loading its hundreds of module files one by
# one took half a second at every start of a story.
if [[ ! -f node_modules/emglken/build/narro-runner.mjs ||
      package-lock.json -nt node_modules/emglken/build/narro-runner.mjs ]]; then
  npm run --silent bundle
fi
