# Fails when the program named by PROGRAM holds code of the host side: the
# transports, the connection, the upload and address operations, the prints
# and the host's kind table. The virtual printer shares the command bytes and
# the framework layer with the host and nothing else, so that it checks what
# the host sends instead of running the host's own rules.
#   cmake -DPROGRAM=path/to/markograph-sim -P host_symbols.cmake
if(NOT PROGRAM OR NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "no program to look at: '${PROGRAM}'")
endif()
find_program(NM_PROGRAM NAMES nm REQUIRED)
execute_process(COMMAND ${NM_PROGRAM} -C --defined-only "${PROGRAM}"
  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR symbols STREQUAL "")
  message(FATAL_ERROR "nm could not read ${PROGRAM} (${status})")
endif()
set(host_names
  CPrinterConnection CPrinterPort CPrinterSocket CSerialPort CParallelPort CUsbPort
  CUploadSession CUploadDlg PrintAllAddresses PrintTwoColorKind PrintMonoKind PrintDotModeKind
  "KindEntry\\(" AddressDownload QueryFreeMemory QueryUsedAddresses DeleteAllImages
  DownloadOperation BuildDownloadList)
string(REPLACE ";" "|" pattern "${host_names}")
string(REPLACE "\n" ";" lines "${symbols}")
set(found 0)
foreach(line IN LISTS lines)
  if(line MATCHES "(${pattern})")
    math(EXPR found "${found} + 1")
    if(found LESS_EQUAL 10)
      message(STATUS "host symbol: ${line}")
    endif()
  endif()
endforeach()
if(found GREATER 0)
  message(FATAL_ERROR "${PROGRAM} holds ${found} host symbol(s)")
endif()
message(STATUS "${PROGRAM}: no host symbols")
