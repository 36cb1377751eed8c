#!/bin/sh
# Plays the desk, margin-call, game-over and chart scripts and saves their
# pictures at 100% and 200% in every colour scheme:
#   make_pictures.sh BUILD_BIN_DIR OUT_DIR
# BUILD_BIN_DIR holds ui_screens and futures.mdb.
set -e
bin=${1:?usage: make_pictures.sh BUILD_BIN_DIR OUT_DIR}
out=${2:?usage: make_pictures.sh BUILD_BIN_DIR OUT_DIR}
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for scale in 1 2; do
    dir="$out/x$scale"
    run() { QT_SCALE_FACTOR=$scale "$bin/ui_screens" --db "$bin/futures.mdb" --out "$dir" "$@" > "$dir.log.tmp" 2>&1 || true
            cat "$dir.log.tmp" >> "$dir.log"; }
    mkdir -p "$dir"
    : > "$dir.log"
    run --year 1994 --script "$here/desk.play"
    run --year 1994 --script "$here/margin.play"
    run --year 1994 --length Month --script "$here/game_over.play"
    run --year 1994 --length Year --script "$here/charts_daily.play"
    run --data Tick --year 1997 --month 3 --length Month --script "$here/charts_tick.play"
    rm -f "$dir.log.tmp"
done
# The software centre's pictures (packaging/screenshots, named in the
# metainfo): the desk of desk.play on a 1280x1024 screen, in the standard
# colours and in black:
#   QT_QPA_PLATFORM=offscreen:configfile=screen1280.json ui_screens --db futures.mdb \
#     --out OUT --year 1994 --script desk.play
#   cp OUT/desk_positions_design.png packaging/screenshots/desk.png
#   cp OUT/desk_positions_black.png packaging/screenshots/desk-black.png
# where screen1280.json holds
#   {"screens":[{"name":"s","x":0,"y":0,"width":1280,"height":1024,"logicalDpi":96}]}
