# Writes into OUT the answers whose size makes them slow to commit: a row 1 of
# the most cells a row may have followed by a thousand one-cell rows, and the
# same row with one cell more (refused).
#   cmake -DOUT=FOLDER -P wide_rows.cmake
string(REPEAT "R,@c" 32766 widest)
string(REPEAT "\nr" 1000 short_rows)
file(MAKE_DIRECTORY "${OUT}")
file(WRITE "${OUT}/widest-row-then-short-rows" "c${widest}${short_rows}")
file(WRITE "${OUT}/one-cell-too-wide" "cR,@c${widest}\nr")
