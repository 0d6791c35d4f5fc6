# Checks a firmware file before it is built into the program: it must parse the way start-up
# parses the built-in firmware, store at least one byte and fit the RX231's 256 KB image. The
# judge is tessaly-firmware-check, the program's own parser in a small program of its own.
#
# Included by the top-level CMakeLists.txt (tessaly_check_firmware), or run as a script:
#   cmake -DFIRMWARE=FILE [-DCHECKER=PROGRAM] [-DWORK_DIR=DIR] -P cmake/FirmwareCheck.cmake
# Without CHECKER the checker is built first, in WORK_DIR (default: a folder in the current one).

set(TESSALY_FIRMWARE_CHECK_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../tools/firmwarecheck)

# Builds the checker as a project of its own in `work_dir` and puts its path in `out_var`.
function(tessaly_build_firmware_checker out_var work_dir)
  set(generator_args)
  if(CMAKE_GENERATOR)
    list(APPEND generator_args -G ${CMAKE_GENERATOR})
  else()
    find_program(ninja_program ninja)
    if(ninja_program)
      list(APPEND generator_args -G Ninja)
    endif()
  endif()
  # The checker runs here, at configure time: a cross build's compiler would make a program for
  # the other system, so it gets this machine's default compiler instead.
  if(CMAKE_CXX_COMPILER AND NOT CMAKE_CROSSCOMPILING)
    list(APPEND generator_args -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER})
  endif()
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    list(APPEND generator_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${TESSALY_FIRMWARE_CHECK_SOURCE} -B ${work_dir}
            ${generator_args} -DCMAKE_BUILD_TYPE=Release
    RESULT_VARIABLE configured OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(configured EQUAL 0)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${work_dir}
      RESULT_VARIABLE built OUTPUT_VARIABLE log ERROR_VARIABLE log)
  endif()
  if(NOT configured EQUAL 0 OR NOT built EQUAL 0)
    message(FATAL_ERROR "The firmware check could not be built:\n${log}")
  endif()
  set(${out_var} ${work_dir}/tessaly-firmware-check PARENT_SCOPE)
endfunction()

# Stops with a message that says why when `file` cannot be the built-in firmware.
function(tessaly_check_firmware file checker)
  if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
    message(FATAL_ERROR "TESSALY_FIRMWARE: ${file} does not exist or is not a file")
  endif()
  execute_process(COMMAND ${checker} ${file}
    RESULT_VARIABLE verdict OUTPUT_VARIABLE why ERROR_VARIABLE why
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT verdict EQUAL 0)
    # The reason on an indented line of its own, which CMake does not re-wrap.
    message(FATAL_ERROR "TESSALY_FIRMWARE: ${file} cannot be the built-in firmware:\n  it ${why}")
  endif()
  message(STATUS "TESSALY_FIRMWARE: ${file} ${why}")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT DEFINED FIRMWARE)
    message(FATAL_ERROR "usage: cmake -DFIRMWARE=FILE [-DCHECKER=PROGRAM] -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  if(NOT DEFINED CHECKER)
    if(NOT DEFINED WORK_DIR)
      set(WORK_DIR ${CMAKE_CURRENT_BINARY_DIR}/firmware-check)
    endif()
    tessaly_build_firmware_checker(CHECKER ${WORK_DIR})
  endif()
  tessaly_check_firmware(${FIRMWARE} ${CHECKER})
endif()
