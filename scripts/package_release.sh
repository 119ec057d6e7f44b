#!/usr/bin/env bash
# Packs the built programs into the release archives, the same bytes from the
# same sources whatever the builder's time zone and umask:
#   Config-VERSION.zip                 Config.exe and kvset.exe (32-bit: they run
#                                      on 32- and 64-bit Windows), Config-README.txt,
#                                      Config-English.cmd (Config.exe /lang:en),
#                                      Config-CHANGELOG.txt, LICENSE.txt,
#                                      THIRD-PARTY-NOTICES.txt
#   kvset-VERSION-linux-x86_64.tar.gz  kvset, its man page and bash completion
#
#   scripts/package_release.sh OUTPUT_FOLDER
#
# Needs build/mingw-i686 and build/native built (scripts/release.sh does both).
# Entry times are SOURCE_DATE_EPOCH, by default the time of the last commit.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

output="$(realpath -m "${1:?usage: package_release.sh OUTPUT_FOLDER}")"
cd "$REPO_ROOT"
version="$(sed -nE 's/^project\([A-Za-z]+ VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)"
epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
windows=build/mingw-i686
linux=build/native

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT

# Text for Notepad: Windows line ends, and a byte-order mark so that older
# Notepads read UTF-8.
windows_text() {
  printf '\xEF\xBB\xBF'
  sed 's/$/\r/' "$1"
}

zip_folder="$staging/zip"
mkdir -p "$zip_folder"
cp "$windows/Config.exe" "$windows/tools/kvset/kvset.exe" "$zip_folder/"
windows_text docs/player/README.txt >"$zip_folder/Config-README.txt"
# No byte-order mark: cmd.exe would take it for part of the first command.
sed 's/$/\r/' docs/player/Config-English.cmd >"$zip_folder/Config-English.cmd"
windows_text CHANGELOG.md >"$zip_folder/Config-CHANGELOG.txt"
sed 's/$/\r/' LICENSE >"$zip_folder/LICENSE.txt"
scripts/third_party_notices.sh windows | sed 's/$/\r/' >"$zip_folder/THIRD-PARTY-NOTICES.txt"

mkdir -p "$output"
zip="$output/Config-$version.zip"
# Fixed entry times (UTC, not the builder's zone), modes and order.
python3 - "$zip" "$epoch" "$zip_folder" \
  Config.exe kvset.exe Config-English.cmd Config-README.txt Config-CHANGELOG.txt LICENSE.txt \
  THIRD-PARTY-NOTICES.txt <<'PY'
import sys, time, zipfile
path, epoch, folder, *names = sys.argv[1:]
stamp = time.gmtime(int(epoch))[:6]
with zipfile.ZipFile(path, "w") as archive:
    for name in names:
        entry = zipfile.ZipInfo(name, stamp)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(f"{folder}/{name}", "rb") as source:
            archive.writestr(entry, source.read())
PY

tar_name="kvset-$version-linux-x86_64"
tar_folder="$staging/$tar_name"
mkdir -p "$tar_folder"
strip -o "$tar_folder/kvset" "$linux/tools/kvset/kvset"
# Laid out as under ~/.local, where man and bash-completion look (QUICKSTART.txt).
mkdir -p "$tar_folder/share/man/man1" "$tar_folder/share/bash-completion/completions"
cp tools/kvset/kvset.1 "$tar_folder/share/man/man1/"
cp tools/kvset/kvset.bash-completion "$tar_folder/share/bash-completion/completions/kvset"
cp tools/kvset/QUICKSTART.txt "$tar_folder/"
cp README.md CHANGELOG.md LICENSE "$tar_folder/"
scripts/third_party_notices.sh linux >"$tar_folder/THIRD-PARTY-NOTICES.txt"
tar --sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner \
  --mode='u=rwX,go=rX' --format=gnu -C "$staging" -cf - "$tar_name" |
  gzip -9n >"$output/$tar_name.tar.gz"

say "wrote $zip and $output/$tar_name.tar.gz"
