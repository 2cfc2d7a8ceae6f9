# The server's framing byte for byte, run as a program with its standard
# streams on files: a body with a CR LF inside (JSON whitespace) must arrive
# whole, and the answer's header must end in CR LF CR LF, not CR CR LF, which
# is what a Windows build with its streams in text mode would produce.
#   cmake -DMCSCRIPT=EXE [-DRUNNER=wine-run.sh] -DWORK=DIR -P framing_test.cmake
set(request "{\"jsonrpc\":\"2.0\",\r\n\"id\":1,\"method\":\"shutdown\"}")
set(exit "{\"jsonrpc\":\"2.0\",\"method\":\"exit\"}")
string(LENGTH "${request}" request_length)
string(LENGTH "${exit}" exit_length)
file(WRITE ${WORK}/framing.in
  "Content-Length: ${request_length}\r\n\r\n${request}Content-Length: ${exit_length}\r\n\r\n${exit}")

set(answer "{\"error\":{\"code\":-32002,\"message\":\"the server is not initialized\"},\"id\":1,\"jsonrpc\":\"2.0\"}")
string(LENGTH "${answer}" answer_length)
set(expected "Content-Length: ${answer_length}\r\n\r\n${answer}")

execute_process(COMMAND ${RUNNER} ${MCSCRIPT} lsp
  INPUT_FILE ${WORK}/framing.in OUTPUT_FILE ${WORK}/framing.out RESULT_VARIABLE status)
file(READ ${WORK}/framing.out got HEX)
string(HEX "${expected}" expected_hex)
if(NOT got STREQUAL expected_hex)
  message(FATAL_ERROR "framing differs:\n got      ${got}\n expected ${expected_hex}")
endif()
if(NOT status EQUAL 1)
  message(FATAL_ERROR "exit without shutdown must end with status 1, got ${status}")
endif()
