# Writes into OUT the server files whose size makes them slow to commit:
#   large-server-list-lf  just under the reader's 4 MB bound, with line feeds
#                         only, so the CR LF of a save passes the bound; 30,001
#                         servers (within the 16-bit count), the current one listed
#   over-bound            the same with one byte more than the bound (not read)
#   beyond-count-*        32,768 empty entries, with and without a current server
#   cmake -DOUT=FOLDER -P server_lists.cmake
set(bound 4194304)
math(EXPR just_under "${bound} - 2")

function(write_sized file size)
  set(pad "")
  string(REPEAT "x" 100 pad)
  set(block "")
  foreach(i RANGE 1 250)
    math(EXPR a "${i} / 256")
    math(EXPR b "${i} % 256")
    math(EXPR port "4400 + ${i}")
    string(APPEND block "Trade server ${i} ${pad}&&10.1.${a}.${b}&&${port}&&")
  endforeach()
  string(REPEAT "${block}" 120 servers)
  set(head "Last server ")
  set(tail "&&10.2.0.1&&4401\n10.1.0.7:4407\n0\n\n")
  string(LENGTH "${servers}${head}${tail}" used)
  math(EXPR fill "${size} - ${used}")
  string(REPEAT "y" ${fill} last)
  file(WRITE "${file}" "${servers}${head}${last}${tail}")
  file(SIZE "${file}" written)
  if(NOT written EQUAL size)
    message(FATAL_ERROR "${file} is ${written} bytes, not ${size}")
  endif()
endfunction()

file(MAKE_DIRECTORY "${OUT}")
write_sized("${OUT}/large-server-list-lf" ${just_under})
math(EXPR over "${bound} + 1")
write_sized("${OUT}/over-bound" ${over})
string(REPEAT "&&" 98304 empty_entries)
file(WRITE "${OUT}/beyond-count-current" "${empty_entries}\r\n10.1.0.7:4407\r\n0\r\n\r\n")
file(WRITE "${OUT}/beyond-count-no-current" "${empty_entries}\r\n\r\n0\r\n\r\n")
