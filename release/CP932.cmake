# Writes the UTF-8 text IN to OUT in code page 932 with CR LF line ends.
# usage: cmake -DIN=... -DOUT=... -P CP932.cmake
execute_process(COMMAND iconv -f UTF-8 -t CP932 ${IN} OUTPUT_VARIABLE text RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${IN} cannot be written in code page 932")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
