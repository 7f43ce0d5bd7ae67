# Common settings for every Zelvo target: warnings (as errors with ZELVO_WERROR), sanitizers
# when asked.
function(zelvo_target target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic
    -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
    # Screens describe controls with designated initializers that name only the settings
    # they change; the others keep their defaults on purpose.
    -Wno-missing-field-initializers
    # GCC 12 warns of overlapping copies inside std::string's operator+ once it inlines it
    # at -O2 and above (a false positive of its own headers, GCC bug 105329); the code it
    # names is the standard library's, never ours.
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
  if(ZELVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(ZELVO_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=all)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# An engine library: one folder under src/, no Qt.
function(zelvo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  zelvo_target(${name})
endfunction()

# A GoogleTest executable; every test runs in a pinned environment.
function(zelvo_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} zelvo_testsupport GTest::gtest GTest::gtest_main)
  zelvo_target(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "LANG=C.UTF-8;TZ=UTC;QT_QPA_PLATFORM=offscreen"
               LABELS engine)
endfunction()
