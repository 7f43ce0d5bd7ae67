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

# The pinned environment every test runs in.
set(ZELVO_TEST_ENVIRONMENT "LANG=C.UTF-8;TZ=UTC;QT_QPA_PLATFORM=offscreen")

# Every test of a GoogleTest executable as a ctest case, named PREFIX<suite>.<test>, with the
# given properties. gtest_discover_tests would flatten a list-valued property (of several
# ENVIRONMENT entries only the first reached the tests), so the properties are set from a
# file of our own that ctest reads after the discovered tests.
function(zelvo_discover_tests target)
  cmake_parse_arguments(ARG "" "PREFIX" "ENVIRONMENT;LABELS;FIXTURES_REQUIRED" ${ARGN})
  string(MAKE_C_IDENTIFIER "${ARG_PREFIX}${target}_TESTS" list)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${ARG_PREFIX}"
                       TEST_LIST ${list})
  set(properties "")
  foreach(p ENVIRONMENT LABELS FIXTURES_REQUIRED)
    if(ARG_${p})
      string(APPEND properties " ${p} [==[${ARG_${p}}]==]")
    endif()
  endforeach()
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${list}_properties.cmake")
  file(WRITE ${file}
       "if(${list})\n  set_tests_properties(\${${list}} PROPERTIES${properties})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()

# A GoogleTest executable; every test runs in the pinned environment.
function(zelvo_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} zelvo_testsupport GTest::gtest GTest::gtest_main)
  zelvo_target(${name})
  zelvo_discover_tests(${name} ENVIRONMENT "${ZELVO_TEST_ENVIRONMENT}" LABELS engine)
endfunction()
