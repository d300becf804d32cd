#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building and testing Narro need.
# Quiet and quick when everything is there already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libboost-dev libtinyxml-dev libespeak-ng-dev espeak-ng-data libpcaudio-dev
  libasound2-dev libncurses-dev libcurl4-openssl-dev libelf-dev libicu-dev
  zlib1g-dev libisal-dev googletest libgtest-dev libgmock-dev
  inform6-compiler inform6-library frotz espeak-ng tmux python3 groff-base
  libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
