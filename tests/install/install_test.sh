#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR and checks the installed tree: the
# program beside its data with a symlink in bin/, the desktop entry, the MIME
# type (by file name and by content), the icons and the help page; then starts
# the installed program without a display.
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_CACHE_HOME=$tmp/cache XDG_CONFIG_HOME=$tmp/config GIO_USE_VFS=local

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in desktop-file-validate update-mime-database gio xmllint; do
  command -v $tool >/dev/null || fail "$tool is missing (tools/deps.sh installs it)"
done

DESTDIR=$tmp/root cmake --install "$build" --prefix /usr >"$tmp/install.log" \
  || { cat "$tmp/install.log"; fail "cmake --install"; }
usr=$tmp/root/usr
program_dir=$usr/lib/vellumet
share=$usr/share

# The program and its data share a folder; bin/ links there with a relative
# symlink, which resolves inside DESTDIR too.
[[ -x $program_dir/vellumet ]] || fail "no program in lib/vellumet"
[[ -L $usr/bin/vellumet ]] || fail "bin/vellumet is not a symlink"
[[ $(readlink -f "$usr/bin/vellumet") == "$program_dir/vellumet" ]] \
  || fail "bin/vellumet points to $(readlink "$usr/bin/vellumet")"

for sample in "$source_dir"/samples/*.sw0; do
  cmp -s "$sample" "$program_dir/Samples/${sample##*/}" || fail "Samples/${sample##*/} is not the sample"
done
buttons=("$program_dir"/Buttons/*.bmp)
[[ -f ${buttons[0]} ]] || fail "no button pictures in Buttons/"

# The Ruffle web player that web pages copy: its scripts and WebAssembly
# modules, without the source maps.
[[ -f $program_dir/ruffle/ruffle.js ]] || fail "no Ruffle web player in ruffle/"
compgen -G "$program_dir/ruffle/*.wasm" >/dev/null || fail "no WebAssembly module in ruffle/"
! compgen -G "$program_dir/ruffle/*.map" >/dev/null || fail "source maps installed in ruffle/"

# The help page: well-formed, nothing fetched from outside, every link inside
# the page lands on an id.
help=$program_dir/Vellumet.html
head -n 1 "$help" | grep -qx '<!DOCTYPE html>' || fail "Vellumet.html is not HTML5"
xmllint --noout "$help" || fail "Vellumet.html is not well-formed"
! grep -Eiq '<(link|script|img|iframe)|src=|@import|url\(|href="[^#]' "$help" \
  || fail "Vellumet.html refers to outside resources"
for anchor in $(grep -o 'href="#[^"]*"' "$help" | sed 's/href="#\(.*\)"/\1/'); do
  grep -q "id=\"$anchor\"" "$help" || fail "Vellumet.html links to a missing #$anchor"
done

# The desktop entry starts the installed program, shows an installed icon
# and claims only MIME types the package defines.
entry=$share/applications/vellumet.desktop
desktop-file-validate "$entry" || fail "desktop entry not valid"
value() { sed -n "s/^$1=//p" "$entry"; }
exec_program=$(value Exec | cut -d' ' -f1)
[[ -x $usr/bin/$exec_program ]] || fail "Exec names $exec_program, not installed in bin/"
[[ -f $share/icons/hicolor/scalable/apps/$(value Icon).svg ]] || fail "no icon $(value Icon)"
mime_types=$(value MimeType | tr ';' ' ')
[[ -n $mime_types ]] || fail "desktop entry opens no MIME type"
for type in $mime_types; do
  grep -q "type=\"$type\"" "$share"/mime/packages/*.xml || fail "MIME type $type is not defined"
  xmllint --noout "$share/icons/hicolor/scalable/mimetypes/${type/\//-}.svg" \
    || fail "no icon for $type"
done
xmllint --noout "$share/icons/hicolor/scalable/apps/$(value Icon).svg" || fail "icon is not SVG"

# The MIME type as a desktop sees it: by the .sw0 name, and by the first line
# of both file versions when the name says nothing.
XDG_DATA_HOME=$share update-mime-database "$share/mime" || fail "update-mime-database refused the MIME XML"
content_type() {
  XDG_DATA_HOME=$share XDG_DATA_DIRS=/usr/share gio info -a standard::content-type "$1" \
    | sed -n 's/^ *standard::content-type: //p'
}
project_type=application/x-vellumet-project
cp "$source_dir/samples/banner.sw0" "$tmp/BANNER.SW0"
cp "$source_dir/samples/banner.sw0" "$tmp/banner-without-extension"
printf '[Quillmark Project File v.1.2]\r\n[Frames=1]\r\n' >"$tmp/old-without-extension"
printf 'A note that names no project\r\n' >"$tmp/note.txt"
for file in BANNER.SW0 banner-without-extension old-without-extension; do
  [[ $(content_type "$tmp/$file") == "$project_type" ]] \
    || fail "$file is $(content_type "$tmp/$file"), not $project_type"
done
[[ $(content_type "$tmp/note.txt") != "$project_type" ]] || fail "any text is taken for a project"

# The installed program runs without a display and, started through the
# symlink, finds its data: a button stored as the editor stores pictures of
# the program folder ("Buttons\name.bmp") is built into the movie.
[[ $("$usr/bin/vellumet" --version) == "vellumet $version" ]] || fail "--version"
{
  printf '[Quillmark Project File v.1.6]\r\n[Frames=1]\r\n'
  printf 'MResolution=96,MWidth=120,MHeight=60,MSiteColor=0,MBkgrColor=16777215,MLoop=1,MBkgrSound=,MainURL=\r\n'
  printf '[Frame=1]\r\n'
  printf 'BkgrColor=16777215,Delay=100,AddGrad=0,GradStyle=1,GradCol1=0,GradCol2=0,AddBorder=0,BorderInnerStyle=1,BorderOuterStyle=2,BevelW=1,BorderW=3,BorderCol=0,BorderHighLightCol=0\r\n'
  printf 'Object=9,X=10,Y=10,W=18,H=18,Radius=0,Fill=0,Color=0,GrColor1=0,GrColor2=0,GrX=50,GrY=50,Alpha=0,Border=0,BorderColor=0,Angle=0,Font=,FontColor=0,FontSize=0,Spacing=0,FBold=0,FItalic=0,URL=,SoundEv=,Text=Buttons\\%s\r\n' \
    "${buttons[0]##*/}"
} >"$tmp/button.sw0"
(cd / && "$usr/bin/vellumet" export "$tmp/button.sw0" -o "$tmp/button.swf" >/dev/null) \
  || fail "export through the installed program"
"$usr/bin/vellumet" dump "$tmp/button.swf" | grep -q DefineButton2 \
  || fail "the button picture in Buttons/ was not found beside the installed program"
echo "installed tree OK"
