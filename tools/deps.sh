#!/usr/bin/env bash
# Installs what the project needs when it is missing: the Debian packages of
# tools/debian-packages.txt, the npm test tools of tests/package.json and the
# Ruffle web player of third_party/ruffle/package.json (the web page export
# copies it beside each page; make install ships it) and the script shrinker
# of tools/minify/package.json (the HTML5 page export). Quick when everything
# is present.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < tools/debian-packages.txt
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)

if ((${#missing[@]})); then
  echo "Installing Debian packages: ${missing[*]}"
  sudo=""; [[ $(id -u) -ne 0 ]] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" \
    || { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
fi

# npm ci installs exactly the locked versions: when a package is missing or
# the lock changed.
npm_install() {  # FOLDER PACKAGE...
  local dir=$1 pkg stale=0
  shift
  for pkg in "$@"; do
    [[ -f $dir/node_modules/$pkg/package.json ]] || stale=1
  done
  if [[ $dir/package-lock.json -nt $dir/node_modules/.package-lock.json ]]; then stale=1; fi
  if ((stale)); then (cd "$dir" && npm ci --no-audit --no-fund --loglevel=error); fi
}
npm_install tests swf-parser playwright-core pngjs
npm_install third_party/ruffle @ruffle-rs/ruffle
npm_install tools/minify terser
