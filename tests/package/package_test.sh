#!/usr/bin/env bash
# The Debian package as a lab machine meets it (run as root, as CI does;
# `make test-package` builds the package first):
#   1. installed from the file with apt, as the README tells;
#   2. its programs run from the PATH: velkor --help, an off-screen run as an
#      ordinary user, velkor-trace --help, velkor-gallery;
#   3. every library the programs load, at start and while drawing, comes
#      from a package the Depends field pulls in (so a fresh machine has it);
#   4. the desktop entry passes desktop-file-validate, the icons are PNGs of
#      their sizes, every manual page renders with `man -l` without a
#      warning and man finds it by name, lintian finds nothing to object to;
#   5. removed with apt, nothing of it is left: the lists of files under
#      /usr, /etc, /opt and /var/lib before the install and after the
#      removal are the same. (The programs run with homes of their own in a
#      scratch folder, checked on the way: the window's preferences land
#      there, in ~/.config/velkor.)
#
# Usage: tests/package/package_test.sh velkor_VERSION_ARCH.deb
set -euo pipefail

if [ "$#" -ne 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 velkor_VERSION_ARCH.deb" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "package_test: must run as root: it installs and removes the package" >&2
  exit 2
fi
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velkor_package.XXXXXX")
chmod 755 "$scratch"
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
installed() {
  dpkg-query -W -f='${Status}' velkor 2>/dev/null | grep -q 'install ok installed'
}
cleanup() {
  if installed; then apt-get purge -y -qq velkor >/dev/null 2>&1 || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

# Lab machines install from a copy of the file; so does this test, and the
# unprivileged runs below (lintian, the student) can read it there.
deb="$scratch/$(basename "$1")"
cp "$1" "$deb"
chmod 644 "$deb"

# A package left installed by an interrupted run would hide what this one
# leaves behind: it goes first.
if installed || dpkg-query -W -f='${Status}' velkor 2>/dev/null | grep -q 'config-files'; then
  echo "package_test: removing the velkor package found installed"
  apt-get purge -y -qq velkor >/dev/null
fi

# Every file and directory a package or a program could leave, but for
# apt's and dpkg's own lists and backup copies, which change on every
# install.
snapshot() {
  find /usr /etc /opt /var/lib -xdev \
    \( -path /var/lib/apt/lists -o -path /var/lib/dpkg/updates -o -path /var/lib/dpkg/triggers \) \
    -prune -o -print 2>/dev/null | grep -v -E '^/var/lib/dpkg/[a-z]+-old$' | sort
}
snapshot >"$scratch/before.txt"

echo "== install: apt-get install ./$(basename "$deb")"
(cd "$scratch" && apt-get install -y -qq --no-install-recommends "./$(basename "$deb")") \
  >"$scratch/apt-install.txt" 2>&1 || {
  cat "$scratch/apt-install.txt" >&2
  fail "apt-get install"
  exit 1
}

echo "== programs from the PATH"
for program in velkor velkor-trace velkor-gallery; do
  where=$(command -v "$program" || true)
  [ "$where" = "/usr/bin/$program" ] || fail "$program is at '$where', not /usr/bin/$program"
done
help=$(velkor --help) || fail "velkor --help exits with $?"
grep -q -- '--offscreen' <<<"$help" || fail "velkor --help does not list --offscreen"
trace_help=$(velkor-trace --help) || fail "velkor-trace --help exits with $?"
grep -q -- '--steps' <<<"$trace_help" || fail "velkor-trace --help does not list --steps"
velkor-trace --steps 3 >"$scratch/trace.txt" || fail "velkor-trace --steps 3"
[ "$(wc -l <"$scratch/trace.txt")" -ge 3 ] || fail "velkor-trace printed $(wc -l <"$scratch/trace.txt") lines for 3 steps"

# A student: no privileges, a home of their own, only the system's PATH.
# The libraries every object it loads comes from are noted on the way
# (the loader's own report, so Mesa's drivers opened while drawing count).
student="$scratch/student"
mkdir -p "$student/home"
chown -R nobody "$student"
if runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$student/home" LD_DEBUG=files \
    LD_DEBUG_OUTPUT="$student/loaded" \
    sh -c "cd '$student' && velkor --offscreen --frames 3 --snapshot shot.png"; then
  file "$student/shot.png" | grep -q 'PNG image data, 1280 x 768' ||
    fail "velkor's off-screen snapshot is not a 1280 x 768 PNG: $(file "$student/shot.png")"
else
  fail "velkor --offscreen --frames 3 --snapshot shot.png as an ordinary user"
fi
runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$student/home" \
  sh -c "cd '$student' && velkor-gallery --out gallery.png >/dev/null" ||
  fail "velkor-gallery --out gallery.png"
file "$student/gallery.png" | grep -q 'PNG image data' || fail "velkor-gallery wrote no PNG"

# The window, run by root (who could write to /usr/bin) under a private X
# server: moving it stores the window's preferences, which must land in the
# user's configuration folder, never beside /usr/bin/velkor.
echo "== the window's preferences go to the user's folder"
teacher="$scratch/teacher"
mkdir -p "$teacher"
cat >"$scratch/window.sh" <<'WINDOW'
LD_DEBUG=files LD_DEBUG_OUTPUT="$1" velkor &
pid=$!
id=""
for _ in $(seq 600); do
  id=$(xdotool search --onlyvisible --name '^Velkor$' 2>/dev/null | head -n 1) && [ -n "$id" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$id" ] && xdotool windowmove "$id" 120 90
for _ in $(seq 600); do
  grep -q '^Position=120x90x' "$HOME/.config/velkor/velkor.ini" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
[ -n "$id" ]
WINDOW
# A private X server on a display number it picks itself.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 600); do
  [ -s "$scratch/display" ] && break
  sleep 0.1
done
if [ -s "$scratch/display" ]; then
  (cd "$teacher" && env -u XDG_CONFIG_HOME HOME="$teacher" DISPLAY=":$(head -n 1 "$scratch/display")" \
    bash "$scratch/window.sh" "$student/loaded-window") || fail "velkor's window did not come up"
else
  fail "Xvfb did not start"
fi
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null || true
grep -q '^Position=120x90x' "$teacher/.config/velkor/velkor.ini" 2>/dev/null ||
  fail "the moved window's place is not in ~/.config/velkor/velkor.ini"
[ ! -e /usr/bin/velkor.ini ] || fail "velkor wrote /usr/bin/velkor.ini"

echo "== every library loaded comes from a dependency"
apt-cache depends --installed --recurse --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances velkor | grep -v '^ ' | grep -v '^<' |
  sed 's/:.*//' | sort -u >"$scratch/closure.txt"
{
  ldd /usr/bin/velkor /usr/bin/velkor-trace /usr/bin/velkor-gallery | awk '$2 == "=>" { print $3 }'
  cat "$student"/loaded* 2>/dev/null | sed -n 's/.*calling init: \(\/.*\)$/\1/p'
} | sort -u >"$scratch/libraries.txt"
[ -s "$scratch/libraries.txt" ] || fail "no libraries were seen loaded"
while IFS= read -r library; do
  owner=""
  for path in "$library" "$(readlink -f "$library")" "${library#/usr}" "/usr$library"; do
    owner=$(dpkg -S "$path" 2>/dev/null | head -n 1 | sed 's/[:,].*//') && [ -n "$owner" ] && break
  done
  if [ -z "$owner" ]; then
    fail "$library belongs to no package"
  elif ! grep -qx "$owner" "$scratch/closure.txt"; then
    fail "$library comes from $owner, which velkor's dependencies do not pull in"
  fi
done <"$scratch/libraries.txt"
grep -q 'libEGL_mesa' "$scratch/libraries.txt" ||
  fail "the off-screen run loaded no Mesa EGL: the loader's report was not read"
grep -q 'libGLX_mesa' "$scratch/libraries.txt" ||
  fail "the window loaded no Mesa GLX: the loader's report was not read"

echo "== desktop entry, icons, manual pages, lintian"
desktop=/usr/share/applications/velkor.desktop
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $validation"
[ -z "$validation" ] || fail "desktop-file-validate has remarks: $validation"
for size in 48 64 128; do
  icon=/usr/share/icons/hicolor/${size}x${size}/apps/velkor.png
  file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "icon $icon: $(file "$icon" 2>&1)"
done
for page in $(dpkg -L velkor | grep '^/usr/share/man/man1/'); do
  name=$(basename "$page" .1.gz)
  if ! MANWIDTH=80 man --warnings -l "$page" >"$scratch/$name.txt" 2>"$scratch/$name.warnings"; then
    fail "man -l $page"
  fi
  [ ! -s "$scratch/$name.warnings" ] || fail "man -l $page warns: $(cat "$scratch/$name.warnings")"
  grep -q '^NAME' "$scratch/$name.txt" || fail "$page has no NAME"
  [ "$(man -w "$name" 2>/dev/null)" = "$page" ] || fail "man -w $name does not find $page"
done
for program in velkor velkor-trace velkor-gallery; do
  [ -f "/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
grep -q '^FILES' "$scratch/velkor.txt" || fail "the velkor page says nothing of its FILES"
# lintian's errors and warnings fail the test.
if command -v lintian >/dev/null; then
  # From the scratch folder: lintian, run as nobody, cannot start in a
  # caller's folder that only its owner may enter (a private clone).
  (cd "$scratch" && runuser -u nobody -- lintian "$deb") >"$scratch/lintian.txt" 2>&1 || true
  objections=$(grep -E '^[EW]: ' "$scratch/lintian.txt" || true)
  # Anything but tags (E: error, W: warning, I: info, ...) means lintian did not run.
  if grep -q -v -E '^[A-Z]: ' "$scratch/lintian.txt"; then
    fail "lintian did not run: $(cat "$scratch/lintian.txt")"
  elif [ -n "$objections" ]; then
    fail "lintian objects: $objections"
  fi
else
  fail "lintian is missing (scripts/install-deps.sh installs it)"
fi

echo "== remove: apt-get remove velkor"
apt-get remove -y -qq velkor >"$scratch/apt-remove.txt" 2>&1 || fail "apt-get remove velkor"
if dpkg-query -W -f='${Status}' velkor 2>/dev/null | grep -q -v 'not-installed'; then
  fail "after the removal dpkg still knows velkor: $(dpkg-query -W -f='${Status}' velkor)"
fi
snapshot >"$scratch/after.txt"
if ! diff "$scratch/before.txt" "$scratch/after.txt" >"$scratch/left.txt"; then
  fail "the file system differs after the removal (< gone, > left behind):
$(head -n 40 "$scratch/left.txt")"
fi

if [ "$failures" -ne 0 ]; then
  echo "package_test: $failures check(s) failed" >&2
  exit 1
fi
echo "package_test: installed, run, checked and removed without a trace"
