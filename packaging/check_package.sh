#!/usr/bin/env bash
# Builds the Debian package from a built tree into a temporary folder, checks
# what it holds, unpacks it into a temporary root and runs the programs from
# there against the system's Qt. Run by ctest (test package.deb):
#
#   check_package.sh BUILD_DIR VERSION SAMPLE_NV_INF
#
# Every check that cannot be made fails the test; nothing is skipped.
set -euo pipefail

build=$1 version=$2 sample=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg readelf ldd gzip groff; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs what the tests need)"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== cpack into $work/out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack could not build the package"; }
arch=$(dpkg --print-architecture)
deb=$work/out/markograph_${version}_${arch}.deb
[ -f "$deb" ] || { ls -l "$work/out"; fail "no $deb"; }

echo "== control fields"
[ "$(dpkg-deb -f "$deb" Package)" = markograph ] || fail "Package is not markograph"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "Architecture is not $arch"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
depends_names=$(echo "$depends" | tr ',' '\n' | sed -e 's/(.*)//' -e 's/ //g')
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 qt6-qpa-plugins qt6-image-formats-plugins libqrencode4 fonts-dejavu-core; do
  grep -qx "$package" <<<"$depends_names" || fail "Depends lacks $package"
done
[ "$(dpkg-deb -f "$deb" Suggests)" = ansible-core ] || fail "Suggests is not ansible-core (the Ansible role's)"
description=$(dpkg-deb -f "$deb" Description)
[ "$(echo "$description" | sed -n 1p)" = "puts BMP logos into the NV image memory of receipt printers" ] \
  || fail "the description's summary is '$(echo "$description" | sed -n 1p)'"
[[ "$(sed -n 2p <<<"$description")" == " Markograph separates"* ]] || fail "the long description does not follow the summary"

echo "== contents"
# Every file, with its mode and owner; folders are left out.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3 >"$work/contents"
cat "$work/contents"
expected="-rw-r--r-- root/root ./usr/share/applications/markograph.desktop
-rw-r--r-- root/root ./usr/share/doc/markograph/CHANGELOG.md
-rw-r--r-- root/root ./usr/share/doc/markograph/README.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/README.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/getting-started.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/installing.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/desktop.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/command-line.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/pictures.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/virtual-printer.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/ansible.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/model-file.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/linux-printers.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/troubleshooting.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/reliability.md
-rw-r--r-- root/root ./usr/share/doc/markograph/docs/performance.md
-rw-r--r-- root/root ./usr/share/icons/hicolor/64x64/apps/markograph.png
-rw-r--r-- root/root ./usr/share/man/man1/markograph-cli.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/markograph-sim.1.gz
-rw-r--r-- root/root ./usr/share/markograph/NV.inf
-rw-r--r-- root/root ./usr/share/markograph/ansible/examples/inventory.yml
-rw-r--r-- root/root ./usr/share/markograph/ansible/examples/playbook.yml
-rw-r--r-- root/root ./usr/share/markograph/ansible/roles/markograph_fleet/defaults/main.yml
-rw-r--r-- root/root ./usr/share/markograph/ansible/roles/markograph_fleet/library/markograph_logos.py
-rw-r--r-- root/root ./usr/share/markograph/ansible/roles/markograph_fleet/tasks/main.yml
-rw-r--r-- root/root ./usr/share/markograph/samples/mono-badge.bmp
-rw-r--r-- root/root ./usr/share/markograph/samples/red-black.bmp
-rw-r--r-- root/root ./usr/share/markograph/samples/sixteen-colours.bmp
-rwxr-xr-x root/root ./usr/bin/markograph
-rwxr-xr-x root/root ./usr/bin/markograph-cli
-rwxr-xr-x root/root ./usr/bin/markograph-sim
-rw-r--r-- root/root ./usr/lib/markograph/libmarkograph-cli-pictures.so
-rw-r--r-- root/root ./usr/lib/markograph/libmarkograph-net.so"
diff <(echo "$expected" | sort -k3) "$work/contents" || fail "the package holds other files than expected"

echo "== unpacked into $work/root"
root=$work/root
dpkg-deb -x "$deb" "$root"
cmp "$root/usr/share/markograph/NV.inf" "$sample" || fail "the installed NV.inf is not the sample"

# The modules the programs open on demand (lib/markograph) are checked as
# the programs are.
for program in markograph markograph-cli markograph-sim \
    ../lib/markograph/libmarkograph-net.so ../lib/markograph/libmarkograph-cli-pictures.so; do
  binary=$root/usr/bin/$program
  sections=$(readelf -S "$binary")
  ! grep -q '\.debug_info' <<<"$sections" || fail "$program is not stripped"
  # Every library the program names must come from a package it depends on.
  ldd "$binary" >"$work/ldd" || fail "ldd $program"
  grep -q 'not found' "$work/ldd" && { cat "$work/ldd"; fail "$program misses a library"; }
  for soname in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(awk -v s="$soname" '$1 == s { print $3 }' "$work/ldd")
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null \
      || dpkg -S "${path#/usr}" 2>/dev/null || true)
    owner=${owner%%:*}
    [ -n "$owner" ] || fail "$program needs $soname ($path), which no package owns"
    grep -qx "$owner" <<<"$depends_names" || fail "$program needs $soname from $owner, which Depends lacks"
    echo "$program: $soname from $owner"
  done
done

echo "== the programs run"
home=$work/home
mkdir -p "$home"
# A clean environment; env replaces itself with the program, so $! of a
# program started in the background is the program's own id.
clean_env=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state")
run() { "${clean_env[@]}" "$@"; }
out=$(run "$root/usr/bin/markograph-cli" --version) || fail "markograph-cli --version failed"
[ "$out" = "markograph-cli $version" ] || fail "markograph-cli --version printed '$out'"
out=$(run "$root/usr/bin/markograph-sim" --version) || fail "markograph-sim --version failed"
[ "$out" = "markograph-sim $version" ] || fail "markograph-sim --version printed '$out'"
for program in markograph-sim markograph-cli; do
  out=$(run "$root/usr/bin/$program" --help) || fail "$program --help failed"
  grep -q '^Usage: ' <<<"$out" || fail "$program --help printed no usage"
done

echo "== the installed converting program hands a picture to its picture module"
printf 'P1\n8 2\n1 0 1 0 1 0 1 0\n0 1 0 1 0 1 0 1\n' >"$work/dots.pbm"
run "$root/usr/bin/markograph-cli" convert --nv-inf /nonexistent --model-type 1 --receipt-width 512 --no-limits \
  -o "$work/dots.prn" "$work/dots.pbm" 2>"$work/picture.log" || { cat "$work/picture.log"; fail "convert of a picture failed"; }
[ -s "$work/dots.prn" ] || fail "convert of a picture wrote no print file"

echo "== an installed program keeps a per-user copy of the model file"
out=$(run "$root/usr/bin/markograph-cli" models) || fail "markograph-cli models failed"
grep -q '^\*TX-100' <<<"$out" || { echo "$out"; fail "models does not list the sample's TX-100"; }
cmp "$home/config/markograph/NV.inf" "$sample" || fail "no per-user copy of the model file"
[ ! -e "$root/usr/bin/NV.inf" ] || fail "the program wrote a model file beside itself"

echo "== the installed programs download a sample logo, one to the other"
samples=$root/usr/share/markograph/samples
run "$root/usr/bin/markograph-cli" convert -o "$work/logo.prn" "$samples/mono-badge.bmp" \
  || fail "markograph-cli convert of a sample logo failed"
[ -s "$work/logo.prn" ] || fail "convert wrote no print file"
"${clean_env[@]}" "$root/usr/bin/markograph-sim" --kind mono --listen 127.0.0.1:0 --no-state --out "$work/printer" \
  >"$work/sim.log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  grep -q '^listening on' "$work/sim.log" && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$work/sim.log"; fail "markograph-sim did not start"; }
  sleep 0.1
done
port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/sim.log")
[ -n "$port" ] || { cat "$work/sim.log"; fail "markograph-sim named no port"; }
out=$(run "$root/usr/bin/markograph-cli" download --host 127.0.0.1 --tcp-port "$port" "$samples/mono-badge.bmp" 2>&1) \
  || { echo "$out"; fail "markograph-cli download to markograph-sim failed"; }
grep -q '^Download Completed!' <<<"$out" || { echo "$out"; fail "the download did not complete"; }
for _ in $(seq 50); do
  grep -q 'image 1 stored' "$work/sim.log" && break
  sleep 0.1
done
grep -q 'image 1 stored' "$work/sim.log" || { cat "$work/sim.log"; fail "markograph-sim stored no image"; }
kill "$sim_pid"
wait "$sim_pid" || fail "markograph-sim did not stop cleanly on SIGTERM"
[ -f "$work/printer/nv-001.png" ] || fail "markograph-sim drew no picture of the stored image"

echo "== desktop entry and manual pages"
desktop=$root/usr/share/applications/markograph.desktop
grep -qx 'Exec=markograph' "$desktop" || fail "the desktop entry does not start markograph"
grep -qx 'Icon=markograph' "$desktop" || fail "the desktop entry names another icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the entry"
else
  fail "desktop-file-validate is missing (Debian: desktop-file-utils)"
fi
# Unpacked to files first: grep -q on a pipe may end the writer early.
mkdir "$work/man"
for page in markograph-cli markograph-sim; do
  gzip -t "$root/usr/share/man/man1/$page.1.gz" || fail "$page.1.gz is not gzip"
  gzip -dc "$root/usr/share/man/man1/$page.1.gz" >"$work/man/$page.1"
  groff -man -Tutf8 -ww -z "$work/man/$page.1" 2>"$work/groff" || fail "groff cannot format $page.1"
  [ ! -s "$work/groff" ] || { cat "$work/groff"; fail "groff warns about $page.1"; }
  grep -q "^\.TH ${page^^} 1 .*Markograph $version" "$work/man/$page.1" || fail "$page.1 has no title with the version"
done
for command in models import convert preview download print list delete capacity ports; do
  grep -q "^\.SS \"markograph\\\\-cli $command\"" "$work/man/markograph-cli.1" \
    || fail "markograph-cli.1 does not describe $command"
done
grep -q '^\\fB\\-\\-kind \\fIKIND' "$work/man/markograph-sim.1" || fail "markograph-sim.1 does not describe --kind"

echo "package.deb: all checks passed"
