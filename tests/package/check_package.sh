#!/usr/bin/env bash
# The Debian package of a build tree: made by CPack into a scratch folder, accepted by lintian
# (no error) and desktop-file-validate, unpacked with everything in place, man pages that man
# renders, programs that run from where they were unpacked, and qln's completion.
# Usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
export LC_ALL=C
build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/quillon-tools_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb") in: $(ls "$work")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libqt6widgets6 libqt6network6 libqt6svg6 libc6; do
  [[ ", $depends," == *", $d "* || ", $depends," == *", $d,"* ]] || fail "Depends lacks $d"
done

# lintian: every tag shown, an error fails.
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian found errors"; }
sed 's/^/lintian: /' "$work/lintian.log"

x=$work/root
dpkg-deb -x "$deb" "$x"
expected=(
  usr/bin/QLN_Set usr/bin/QLN_Test usr/bin/QLN_Xfer usr/bin/qln usr/bin/qln-devsim
  usr/share/applications/qln-set.desktop usr/share/applications/qln-test.desktop usr/share/applications/qln-xfer.desktop
  usr/share/icons/hicolor/scalable/apps/qln-set.svg usr/share/icons/hicolor/scalable/apps/qln-test.svg
  usr/share/icons/hicolor/scalable/apps/qln-xfer.svg
  usr/share/man/man1/QLN_Set.1.gz usr/share/man/man1/QLN_Test.1.gz usr/share/man/man1/QLN_Xfer.1.gz
  usr/share/man/man1/qln.1.gz usr/share/man/man1/qln-devsim.1.gz
  usr/share/bash-completion/completions/qln
  usr/share/doc/quillon-tools/copyright usr/share/doc/quillon-tools/changelog.gz
  usr/share/doc/quillon-tools/examples/sample.conf usr/share/doc/quillon-tools/examples/ansible/backup.yml
)
for f in "${expected[@]}"; do [ -f "$x/$f" ] || fail "$f is not in the package"; done

for entry in "$x"/usr/share/applications/*.desktop; do
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate $entry: $out"
  [[ $out != *error:* ]] || fail "$out"
  # The entry starts a program of the package and shows an icon of the package.
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -x "$x/usr/bin/$exec_name" ] || fail "$entry starts '$exec_name', not in usr/bin"
  [ -f "$x/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$entry shows icon '$icon', not in the package"
done

for program in QLN_Set QLN_Test QLN_Xfer qln qln-devsim; do
  got=$(env -u DISPLAY -u WAYLAND_DISPLAY "$x/usr/bin/$program" --version) || fail "$program --version failed"
  [ "$got" = "$program $version" ] || fail "$program --version says '$got'"
  # The page renders without a groff warning and holds the program's own options and the
  # sections of its include file.
  page=$(MANWIDTH=80 man --warnings -l "$x/usr/share/man/man1/$program.1.gz" 2>"$work/man.err") || fail "man -l $program"
  [ ! -s "$work/man.err" ] || fail "man -l $program: $(cat "$work/man.err")"
  for want in NAME SYNOPSIS "EXIT STATUS" EXAMPLES "--version" "$program $version"; do
    [[ $page == *"$want"* ]] || fail "the man page of $program lacks '$want'"
  done
done

# Completion, by the packaged qln: COMP_WORDS as bash would pass them -> the words offered.
# shellcheck source=/dev/null
source "$x/usr/share/bash-completion/completions/qln"
cd "$work"
touch site.conf
cases=(
  "qln rec|receive"
  "qln receive |rom running"
  "qln --dev|--device --device-port"
  "qln --device 10.0.0.1 x|xfer"
  "qln xfer |check count echo mode"
  "qln xfer mode |disable receive send"
  "qln check acc|access-limit access-list"
  "qln check ifconfig r|rfchannel rip route rsarp rsroute"
  "qln check a|access-limit access-list all arp"
  "qln --log si|site.conf"
  "qln apply si|site.conf"
  "qln save |"
  "qln check all -o si|site.conf"
)
for c in "${cases[@]}"; do
  line=${c%%|*}
  want=${c#*|}
  read -r -a COMP_WORDS <<< "$line"
  [[ $line == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_WORDS[0]=$x/usr/bin/qln
  COMPREPLY=()
  _qln
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort -u | xargs)
  [ "$got" = "$want" ] || fail "completion of '$line': '$got', expected '$want'"
done
echo "package $(basename "$deb"): $(dpkg-deb -c "$deb" | wc -l) entries, all checks passed"
