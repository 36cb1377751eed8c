#!/bin/sh
# Every picture of the game for looking at by eye, in one folder:
#   make_pictures.sh BUILD_BIN_DIR OUT_DIR
# BUILD_BIN_DIR holds ui_screens and futures.mdb (and dunmere.hlp, for the
# help viewer). Each script is played at 100% on a 1280x1024 screen (OUT_DIR/x1)
# and at QT_SCALE_FACTOR=2 on a 1024x768 screen (OUT_DIR/x2), each picture in
# the standard colours and the three schemes (NAME_design.png, NAME_black.png,
# NAME_gray.png, NAME_mono.png). The screen is a virtual X server when
# xvfb-run is installed, Qt's offscreen screen of that size otherwise. With
# ImageMagick's montage, OUT_DIR/sheets/xS/NAME.png shows the four colourings
# of each picture side by side.
set -e
bin=$(cd "${1:?usage: make_pictures.sh BUILD_BIN_DIR OUT_DIR}" && pwd)
out=${2:?usage: make_pictures.sh BUILD_BIN_DIR OUT_DIR}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
for scale in 1 2; do
    if [ $scale = 1 ]; then width=1280 height=1024; else width=1024 height=768; fi
    dir="$out/x$scale"
    mkdir -p "$dir"
    : > "$dir.log"
    screen="$out/screen-x$scale.json"
    printf '{"screens":[{"name":"s","x":0,"y":0,"width":%d,"height":%d,"logicalDpi":96}]}\n' \
        $width $height > "$screen"
    run() {
        if command -v xvfb-run > /dev/null; then
            QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${width}x${height}x24" \
                "$bin/ui_screens" --db "$bin/futures.mdb" --out "$dir" "$@" >> "$dir.log" 2>&1 || true
        else
            QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM="offscreen:configfile=$screen" \
                "$bin/ui_screens" --db "$bin/futures.mdb" --out "$dir" "$@" >> "$dir.log" 2>&1 || true
        fi
    }
    run --no-game --year 1994 --script "$here/windows.play"
    run --no-game --windows --prefix sample
    run --year 1994 --script "$here/desk.play"
    run --year 1994 --script "$here/margin.play"
    run --year 1994 --length Month --script "$here/game_over.play"
    run --year 1994 --length Year --script "$here/charts_daily.play"
    run --year 1994 --length Year --script "$here/charts_view.play"
    run --year 1994 --length Year --script "$here/charts_draw.play"
    run --year 1987 --month 9 --length Quarter --script "$here/charts_styles.play"
    run --data Tick --year 1997 --month 3 --length Month --script "$here/charts_tick.play"
    rm -f "$screen"
    if command -v montage > /dev/null; then
        mkdir -p "$out/sheets/x$scale"
        for first in "$dir"/*_design.png; do
            [ -e "$first" ] || continue
            shot=$(basename "$first" _design.png)
            montage "$dir/${shot}_design.png" "$dir/${shot}_black.png" "$dir/${shot}_gray.png" \
                "$dir/${shot}_mono.png" -tile 2x2 -geometry +4+4 -background '#808080' \
                "$out/sheets/x$scale/$shot.png"
        done
    fi
done
# The software centre's pictures (packaging/screenshots, installed with the
# documentation) are two of these: x1/desk_positions_design.png as desk.png
# and x1/desk_positions_black.png as desk-black.png.
