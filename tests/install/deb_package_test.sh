#!/usr/bin/env bash
# Checks what the Debian package dpkg-buildpackage made (build_package.sh) holds and what it
# depends on.
# Usage: deb_package_test.sh <folder holding ravolin_*.deb> <work folder>
source "$(dirname "$0")/../support/test_lib.sh"
debs=$1
fresh_work_folder "$2"
app=io.github.ravolin.Ravolin

deb=$(ls "$debs"/ravolin_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no ravolin_*.deb in $debs (build_package.sh makes it)"
echo "checking $(basename "$deb")"

dpkg-deb --contents "$deb" >"$work/contents.txt" || fail "dpkg-deb cannot read the package"
for f in ./usr/games/ravolin ./usr/games/ravolin-config ./usr/games/ravolin-sim \
         ./usr/lib/games/ravolin/rv_031 ./usr/lib/games/ravolin/rv_config ./usr/lib/games/ravolin/rv_sim ./usr/lib/games/ravolin/rv_message \
         ./usr/lib/games/ravolin/mpng.so ./usr/lib/games/ravolin/ravolin-installed \
         ./usr/lib/games/ravolin/rvdat.cfg \
         ./usr/lib/games/ravolin/Picture/pic1.dat ./usr/lib/games/ravolin/Picture/pic10.dat \
         ./usr/lib/games/ravolin/Wave/wave1.dat ./usr/lib/games/ravolin/Music/ravolin.mp3 \
         ./usr/lib/games/ravolin/Music/decision.mp3 ./usr/lib/games/ravolin/locale/en/LC_MESSAGES/ravolin.mo ./usr/share/applications/$app.desktop \
         ./usr/share/applications/$app.Config.desktop ./usr/share/metainfo/$app.metainfo.xml \
         ./usr/share/icons/hicolor/48x48/apps/$app.png \
         ./usr/share/icons/hicolor/128x128/apps/$app.png \
         ./usr/share/icons/hicolor/256x256/apps/$app.png \
         ./usr/share/icons/hicolor/scalable/apps/$app.svg \
         ./usr/share/man/man6/ravolin.6.gz ./usr/share/man/man6/ravolin-config.6.gz \
         ./usr/share/man/man6/ravolin-sim.6.gz ./usr/share/doc/ravolin/copyright \
         ./usr/share/doc/ravolin/changelog.gz; do
  grep -q " $f\( ->.*\)\?$" "$work/contents.txt" || fail "$f is not in the package"
done
# A game's commands stand in /usr/games, as relative links that lead to the programs.
for pair in ravolin=rv_031 ravolin-config=rv_config ravolin-sim=rv_sim; do
  grep -q " ./usr/games/${pair%=*} -> ../lib/games/ravolin/${pair#*=}\$" "$work/contents.txt" \
    || fail "/usr/games/${pair%=*} is not a relative link to ${pair#*=}"
done
grep -q ' ./usr/bin/' "$work/contents.txt" && fail "the package still has /usr/bin"

# The compressed documents as Debian wants them: gzip's best compression (extra flags 2), and
# neither a file name nor a time stamp in the header, so that two builds give the same bytes.
mkdir -p "$work/tree"
dpkg-deb -x "$deb" "$work/tree" || fail "cannot unpack the package"
for gz in usr/share/doc/ravolin/changelog.gz usr/share/man/man6/ravolin.6.gz \
          usr/share/man/man6/ravolin-config.6.gz usr/share/man/man6/ravolin-sim.6.gz; do
  header=$(od -An -tx1 -N10 "$work/tree/$gz" | tr -d ' \n')
  [ "${header:0:6}" = 1f8b08 ] || fail "$gz is not gzip data"
  [ "${header:6:2}" = 00 ] || fail "$gz carries a file name or other header fields (flags ${header:6:2})"
  [ "${header:8:8}" = 00000000 ] || fail "$gz carries a time stamp"
  [ "${header:16:2}" = 02 ] || fail "$gz is not compressed with -9"
done
# The programs and the module carry no .comment section (the compiler's name and version):
# dh_strip removes it.
for elf in rv_031 rv_config rv_message rv_sim mpng.so; do
  readelf -SW "$work/tree/usr/lib/games/ravolin/$elf" >"$work/sections.txt" 2>&1 \
    || fail "$elf is not an ELF file"
  grep -q ' \.comment ' "$work/sections.txt" && fail "$elf still has a .comment section"
done
zcat "$work/tree/usr/share/doc/ravolin/changelog.gz" | head -n 1 \
  | grep -q "^ravolin ($(dpkg-deb -f "$deb" Version)) " \
  || fail "the changelog's top entry is not the package's version"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' \
  "$work/tree/usr/share/doc/ravolin/copyright" || fail "the copyright file is not machine-readable"
# The player's data is never part of the package; the setting a player's folder starts from
# is, beside the programs.
grep -E 'rvdat\.|\.lock$' "$work/contents.txt" | grep -v ' ./usr/lib/games/ravolin/rvdat\.cfg$' \
  && fail "player data in the package"

# No maintainer scripts and no conffiles: apt remove then leaves nothing, not even dpkg's
# record of the package.
dpkg-deb --ctrl-tarfile "$deb" | tar -t >"$work/control.txt" || fail "no control archive"
grep -E 'postinst|postrm|preinst|prerm|conffiles' "$work/control.txt" \
  && fail "the package has maintainer scripts or conffiles"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in libsdl2-2.0-0 libsdl2-mixer-2.0-0 libpng16-16 libqt6widgets6 libfreetype6 \
            libfontconfig1 fonts-ipafont-gothic fonts-dejavu-core qt6-qpa-plugins; do
  echo "$depends" | grep -q "\b$need\b" || fail "Depends lacks $need"
done
[ "$(dpkg-deb -f "$deb" Package)" = ravolin ] || fail "the package is not named ravolin"
echo "PASS"
