# add_unit_test(NAME <name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [BROWSER] [SERIAL] [TIMEOUT s])
# Registers one GoogleTest program with CTest and the environment every test runs in.
# Tests without BROWSER get the label "nobrowser" and run again in the sanitizer build.
function(add_unit_test)
  cmake_parse_arguments(T "BROWSER;SERIAL" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;FIXTURES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE kavren_common ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  # Tests that need the Qt application object bring their own main().
  if(NOT "kavren_qt_test_main" IN_LIST T_LIBS)
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE KAVREN_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KAVREN_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set(labels ${T_LABELS})
  if(T_BROWSER)
    list(APPEND labels browser)
  else()
    list(APPEND labels nobrowser)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "${labels}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu;ASAN_OPTIONS=detect_leaks=0")
  if(T_SERIAL)
    set_tests_properties(${T_NAME} PROPERTIES RUN_SERIAL TRUE)
  endif()
  if(T_FIXTURES)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED "${T_FIXTURES}")
  endif()
endfunction()
