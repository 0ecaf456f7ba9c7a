# Reads a file as the initialiser of a C++ byte array ("0xNN," twenty to a
# line), for the scripts that build files into the program.
function(v7_read_as_byte_array path bytes_var count_var)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR count "${digits} / 2")
  # Twenty bytes (forty digits) to a line, then each byte as 0xNN,
  string(REGEX REPLACE "(........................................)" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
  set(${bytes_var} "${hex}" PARENT_SCOPE)
  set(${count_var} ${count} PARENT_SCOPE)
endfunction()
