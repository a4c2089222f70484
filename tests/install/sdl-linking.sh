#!/usr/bin/env bash
# sdl-linking.sh CLI WINDOW: the command-line tool starts without SDL, which it loads only to
# play, and the window's program links it, which is how the package's dependencies name it.
set -euo pipefail
needs_sdl() { readelf -d "$1" | grep -q 'NEEDED.*libSDL2'; }
if needs_sdl "$1"; then echo "$1 links SDL: every run of it loads SDL's libraries" >&2; exit 1; fi
if ! needs_sdl "$2"; then echo "$2 does not link SDL: the package would not depend on it" >&2; exit 1; fi
echo "SDL is linked by $2 and not by $1"
