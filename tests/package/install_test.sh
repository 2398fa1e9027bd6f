#!/usr/bin/env bash
# Installs the Debian package given, uses it as a new user would, removes it
# and checks that nothing of it is left. Needs root; changes this machine's
# installed packages only for the length of the test.
#   tests/package/install_test.sh build/pellumar_<version>_amd64.deb
set -euo pipefail

deb=$(realpath "$1")
examples=$(realpath "$(dirname "$0")/../../examples")
work=$(mktemp -d)
trap 'rm -rf "$work"; dpkg --purge pellumar >/dev/null 2>&1 || true' EXIT

fail() {
  echo "install test: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' pellumar 2>/dev/null | grep -q 'ok installed'; then
  fail "pellumar is installed already; remove it first"
fi
# No user copy of the settings may decide which file is read.
export HOME="$work/home" XDG_CONFIG_HOME=
mkdir -p "$HOME"

dpkg -i "$deb" >/dev/null
listed=$(dpkg -L pellumar)
for path in /usr/bin/pellumar /usr/bin/pellumar-cli /usr/share/applications/pellumar.desktop \
  /usr/share/icons/hicolor/scalable/apps/pellumar.svg \
  /usr/share/icons/hicolor/48x48/apps/pellumar.png \
  /usr/share/icons/hicolor/256x256/apps/pellumar.png \
  /usr/share/metainfo/org.example.pellumar.metainfo.xml \
  /usr/share/man/man1/pellumar.1.gz /usr/share/man/man1/pellumar-cli.1.gz \
  /usr/share/bash-completion/completions/pellumar-cli /usr/share/pellumar/lexmend.ini; do
  grep -qx "$path" <<<"$listed" || fail "$path is not in the package"
  [ -e "$path" ] || fail "$path was not installed"
done

version=$(pellumar-cli --version)
[[ $version == "pellumar-cli "* ]] || fail "unexpected --version output: $version"
echo "installed: $version"

# A folder without lexmend.ini: the installed sample is read.
mkdir "$work/films"
cp "$examples/movie.srt" "$work/films/"
(cd "$work/films" && pellumar-cli --all movie.srt) || fail "pellumar-cli could not clean movie.srt"
[ -s "$work/films/movie_PL.srt" ] || fail "no cleaned copy written"
pellumar-cli --help | grep -qx 'Now read: /usr/share/pellumar/lexmend.ini' ||
  fail "--help does not name the installed sample"

# The window, started from /tmp with a file as "Open With" starts it: it can
# only clean the file if it found settings, and then stays up with "Done.".
[ ! -e /tmp/lexmend.ini ] || fail "/tmp/lexmend.ini exists, so the search order is not tried"
cp "$examples/movie.srt" "$work/films/episode.srt"
status=0
(cd /tmp && QT_QPA_PLATFORM=offscreen timeout 5 pellumar "$work/films/episode.srt" \
  >"$work/window.log" 2>&1) || status=$?
[ "$status" -eq 124 ] || fail "the window ended by itself (status $status): $(cat "$work/window.log")"
[ -s "$work/films/episode_PL.srt" ] || fail "the window did not clean the file it was given"
cp "$examples/movie.srt" "$work/films/copy.srt"
(cd "$work/films" && pellumar-cli -q copy.srt)
cmp -s "$work/films/episode_PL.srt" "$work/films/copy_PL.srt" ||
  fail "the window's copy differs from the command line's"

dpkg --purge pellumar >/dev/null
for path in $listed; do
  # Folders such as /usr/share stay; every file and folder of our own goes.
  if [ -e "$path" ] && ! [ -d "$path" ]; then fail "$path is left behind"; fi
done
for path in /usr/share/pellumar /usr/share/doc/pellumar; do
  [ ! -e "$path" ] || fail "$path is left behind"
done
echo "install test: passed"
