# One INTERFACE target with every warning and strict define; every library and program links it.
option(KAVREN_WERROR "Treat warnings as errors (CI builds)" OFF)
option(KAVREN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(kavren_common INTERFACE)
target_compile_options(kavren_common INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align
  -Wformat=2 -Wshadow=local -Wno-missing-field-initializers)
if(KAVREN_WERROR)
  target_compile_options(kavren_common INTERFACE -Werror)
endif()
target_compile_definitions(kavren_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_USE_QSTRINGBUILDER)
target_include_directories(kavren_common INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
if(KAVREN_SANITIZE)
  target_compile_options(kavren_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(kavren_common INTERFACE -fsanitize=address,undefined)
endif()
