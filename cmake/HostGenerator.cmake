# Programs for the build machine that draw artwork at build time (the wait
# dialog's clips, Tessaro's icon).  They are compiled with the host's
# compiler by a custom command rather than as targets of the cross build.
#
# morvane_host_generator(NAME name TARGET target OUTPUT_DIR dir
#                        SOURCES file... OUTPUTS file... COMMENT text)
# builds <name>-host from SOURCES (the headers beside them count too), runs
# it with OUTPUT_DIR as its one argument to write OUTPUTS, and makes TARGET
# build them.
function(morvane_host_generator)
  cmake_parse_arguments(G "" "NAME;TARGET;OUTPUT_DIR;COMMENT" "SOURCES;OUTPUTS" ${ARGN})
  find_program(MORVANE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  list(TRANSFORM G_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(exe ${CMAKE_CURRENT_BINARY_DIR}/${G_NAME}-host)

  add_custom_command(
    OUTPUT ${exe}
    COMMAND ${MORVANE_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -o ${exe} ${G_SOURCES}
    DEPENDS ${G_SOURCES} ${headers}
    COMMENT "Building the host tool ${G_NAME}"
    VERBATIM)

  add_custom_command(
    OUTPUT ${G_OUTPUTS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${G_OUTPUT_DIR}
    COMMAND ${exe} ${G_OUTPUT_DIR}
    DEPENDS ${exe}
    COMMENT "${G_COMMENT}"
    VERBATIM)

  add_custom_target(${G_TARGET} DEPENDS ${G_OUTPUTS})
endfunction()
