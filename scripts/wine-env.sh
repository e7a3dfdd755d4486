# Shared by the run and test commands and by cmake/wine-run.sh (sourced, not run).
# Wine facts these rely on: background services inherit the output of the process that starts them,
# so the server and the prefix's services are started first with their output discarded; and a
# persistent server keeps process start-up cheap.

wine_loader() { # ARCH -> the loader binary for programs of that word size
  if [ "$1" = win64 ]; then echo /usr/lib/wine/wine64; else echo /usr/lib/wine/wine; fi
}

wine_server() {
  if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64; else echo /usr/lib/wine/wineserver32; fi
}

# Makes sure PREFIX exists for ARCH and its persistent server and services run.
wine_prefix_ready() { # PREFIX ARCH
  local prefix=$1 arch=$2
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    # Every command below closes descriptor 9: the persistent server would otherwise hold the lock.
    export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
    # The server writes the registry files lazily, so a marker tells that the boot finished.
    if [ ! -f "$prefix/.prefix-ready" ]; then
      wine_prefix_stop "$prefix"
      rm -rf "$prefix"
      "$(wine_server)" -p </dev/null >/dev/null 2>&1 9>&- || true
      "$(wine_loader "$arch")" wineboot -i </dev/null >/dev/null 2>&1 9>&- && touch "$prefix/.prefix-ready"
    fi
    # Starting the server again is harmless when one already runs for this prefix.
    "$(wine_server)" -p </dev/null >/dev/null 2>&1 9>&- || true
    "$(wine_loader "$arch")" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    # Font settings, once; prefixes made before them get them too. Wine 8 as Debian ships it does
    # not load the fonts of its data folder (fonts-wine: Marlett, which draws the title-bar buttons,
    # and Tahoma, the dialog face), so the folder is named. Tahoma has no Chinese glyphs: Wine, as
    # Chinese Windows does, links it to SimSun for them, which only a stand-in provides here
    # (WenQuanYi, fonts-wqy-zenhei); without it Chinese captions and buttons show as boxes. The
    # launcher asks for Times New Roman, which Wine lacks and would replace with a sans face;
    # Liberation Serif has its metrics.
    if [ -f "$prefix/.prefix-ready" ] && [ "$(cat "$prefix/.fonts-ready" 2>/dev/null)" != 3 ]; then
      local fonts='HKCU\Software\Wine\Fonts' wine
      wine=$(wine_loader "$arch")
      "$wine" reg add "$fonts" /v Path /d 'Z:\usr\share\wine\fonts' /f </dev/null >/dev/null 2>&1 9>&- &&
        "$wine" reg add "$fonts\Replacements" /v 'Times New Roman' /d 'Liberation Serif' /f \
          </dev/null >/dev/null 2>&1 9>&- &&
        "$wine" reg add "$fonts\Replacements" /v SimSun /d 'WenQuanYi Zen Hei' /f \
          </dev/null >/dev/null 2>&1 9>&- && echo 3 >"$prefix/.fonts-ready"
    fi
  ) 9>"$prefix.lock"
  [ -f "$prefix/.prefix-ready" ] || { echo "wine prefix $prefix could not be created" >&2; return 1; }
}

# The booted prefix of a build that every end-to-end scenario starts from a copy of.
e2e_template_ready() { # BUILD_DIR ARCH
  local template=$1/e2e/template
  mkdir -p "$1/e2e"
  (
    flock 9
    if [ ! -f "$template/.prefix-ready" ]; then
      wine_prefix_ready "$template" "$2" 9>&- || exit 1
      # The server writes the registry files only when it ends.
      wine_prefix_stop "$template"
    fi
  ) 9>"$1/e2e.lock"
}

wine_prefix_stop() { # PREFIX
  WINEPREFIX=$1 "$(wine_server)" -k >/dev/null 2>&1 || true
  WINEPREFIX=$1 "$(wine_server)" -w >/dev/null 2>&1 || true
}

# Starts Xvfb when there is no display; GUI code needs one. Sets DISPLAY.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  private_display
}

# Starts an Xvfb of this shell's own, whatever DISPLAY says: programs that read screen pixels or
# take the focus must not share a screen with another run. Xvfb picks a free display itself.
private_display() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  local n
  read -r -t 10 n <"$fifo" || n=""
  rm -f "$fifo"
  if [ -z "$n" ]; then
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$n"
}

# How this machine runs 32-bit Linux programs, and so 32-bit Wine: "native"; "emulated" when a
# qemu-i386 interpreter is registered through binfmt_misc (then it runs every 32-bit program, even
# where the kernel could, so native support cannot be told behind it); or "none". The kernel may
# have its 32-bit emulation disabled (seen: "32-bit emulation disabled" in the kernel log), and then
# no 32-bit program starts natively. SETUP_TEST_FORCE_NO_NATIVE32=1 treats native support as
# absent, to try the emulated path on a machine that has it.
win32_mode() {
  if qemu_i386_enabled; then
    echo emulated
  elif [ -z "${SETUP_TEST_FORCE_NO_NATIVE32:-}" ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo native
  else
    echo none
  fi
}

can_run_win32() {
  [ "$(win32_mode)" != none ]
}

qemu_binfmt=/proc/sys/fs/binfmt_misc
qemu_i386_enabled() {
  grep -qs '^enabled' "$qemu_binfmt/qemu-i386"
}

# Registers Debian's qemu-user-static as the interpreter of 32-bit x86 programs, installing it
# when missing; root only. Says why and fails when it cannot.
qemu_i386_register() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "not root: cannot register qemu-i386 with binfmt_misc" >&2
    return 1
  fi
  if [ ! -x /usr/bin/qemu-i386-static ]; then
    { apt-get update -qq || true; } >/dev/null 2>&1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user-static \
      >/dev/null 2>&1 || { echo "qemu-user-static could not be installed" >&2; return 1; }
  fi
  if [ ! -e "$qemu_binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$qemu_binfmt" 2>/dev/null ||
      { echo "binfmt_misc could not be mounted on $qemu_binfmt" >&2; return 1; }
  fi
  # The i386 ELF header (executables and shared objects); F opens the interpreter now, so that it
  # also serves programs in other mount namespaces.
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    >"$qemu_binfmt/register" 2>/dev/null || { echo "binfmt_misc refused the qemu-i386 entry" >&2; return 1; }
  qemu_i386_enabled
}

qemu_i386_unregister() {
  [ ! -e "$qemu_binfmt/qemu-i386" ] || echo -1 >"$qemu_binfmt/qemu-i386"
}
