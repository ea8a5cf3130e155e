# Shell helpers shared by scripts/e2e.sh and scripts/run.sh: a virtual display, and the
# program's text files (INI, history) in the encodings the program reads and writes.
# Source this file; it defines functions only.

# A throw-away session: makes the scratch folder $work (/tmp/NAME.XXXXXX) with a fresh Wine
# prefix in it, sets Wine up for a Japanese user, and on exit stops Wine and Xvfb (start_xvfb)
# and removes the folder.
begin_scratch_session() {
  work=$(mktemp -d "/tmp/$1.XXXXXX")
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
  XVFB_PID=
  trap end_scratch_session EXIT
}
end_scratch_session() {
  timeout 20 wineserver -k > /dev/null 2>&1
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2> /dev/null
  rm -rf "$work"
}

# Starts Xvfb on the first free display from :90 on; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "cannot start Xvfb on :$n" >&2
  return 1
}

# The encoding of a program text file: utf-16le, utf-8-bom or cp932 (no byte-order mark).
text_encoding() {
  local head
  head=$(head -c 3 "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n')
  case $head in
    fffe*) echo utf-16le ;;
    efbbbf) echo utf-8-bom ;;
    *) echo cp932 ;;
  esac
}

# Prints a program text file as UTF-8 lines without CR.
text_lines() {
  [ -f "$1" ] || return 1
  case $(text_encoding "$1") in
    utf-16le) tail -c +3 "$1" | iconv -f UTF-16LE -t UTF-8 ;;
    utf-8-bom) tail -c +4 "$1" ;;
    *) iconv -f CP932 -t UTF-8 "$1" ;;
  esac | tr -d '\r'
}

# Writes UTF-8 lines from stdin into FILE in ENCODING, lines ending in CR LF.
write_text_lines() {
  local file=$1 enc=$2 tmp
  tmp=$(mktemp)
  sed 's/$/\r/' > "$tmp"
  case $enc in
    utf-16le) { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$tmp"; } > "$file" ;;
    utf-8-bom) { printf '\xef\xbb\xbf'; cat "$tmp"; } > "$file" ;;
    *) iconv -f UTF-8 -t CP932 "$tmp" > "$file" ;;
  esac
  rm -f "$tmp"
}

# The value of KEY in the [Nokari] section of the INI file, empty when absent.
ini_get() {
  text_lines "$1" 2>/dev/null | INI_KEY=$2 awk '
    BEGIN { key = ENVIRON["INI_KEY"] }
    /^\[/ { sec = tolower($0) == "[nokari]"; next }
    sec { i = index($0, "="); if (i && tolower(substr($0, 1, i - 1)) == tolower(key)) { print substr($0, i + 1); exit } }'
}

# Sets KEY to VALUE in the [Nokari] section, keeping the rest of the file and its encoding.
ini_set() {
  local file=$1 key=$2 value=$3 enc=cp932
  [ -f "$file" ] && enc=$(text_encoding "$file")
  { text_lines "$file" 2>/dev/null || true; } | INI_KEY=$key INI_VALUE=$value awk '
    BEGIN { key = ENVIRON["INI_KEY"]; value = ENVIRON["INI_VALUE"] }
    /^\[/ { if (sec && !done) { print key "=" value; done = 1 }
            sec = tolower($0) == "[nokari]"; if (sec) seen = 1; print; next }
    sec { i = index($0, "="); if (i && tolower(substr($0, 1, i - 1)) == tolower(key)) {
            if (!done) print key "=" value; done = 1; next } }
    { print }
    END { if (!seen) print "[Nokari]"; if (!done) print key "=" value }' > "$file.new.utf8"
  write_text_lines "$file" "$enc" < "$file.new.utf8"
  rm -f "$file.new.utf8"
}
