# Helpers for the project's repeated build blocks.

# vc_add_library(NAME FOLDER <dir> [QT] [LINK <targets>...])
# A static library of every .cpp and .h in FOLDER (AUTOMOC with QT), its folder's
# parent on the include path, the project's warnings, and LINK as public links.
function(vc_add_library name)
  cmake_parse_arguments(ARG "QT" "FOLDER" "LINK" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_FOLDER}/*.cpp ${ARG_FOLDER}/*.h)
  add_library(${name} STATIC ${srcs})
  if(ARG_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
  endif()
  target_include_directories(${name} PUBLIC ${ARG_FOLDER}/..)
  target_compile_options(${name} PRIVATE ${VC_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
endfunction()

# vc_add_tests(PREFIX <prefix> [FOLDER <dir>] [EXTRA <sources>...] [LINK <targets>...]
#              [ENVIRONMENT <var=value>...] [EXCLUDE <regex>] [DEFINES <defs>...]
#              [DEPENDS <targets>...])
# One test program per *_test.cpp of FOLDER (the current folder when not given),
# named <prefix>_<stem>, built with EXTRA, linking LINK, vc_test_support and
# GoogleTest, compiled with DEFINES, built after DEPENDS, its tests discovered by
# CTest with ENVIRONMENT.
function(vc_add_tests)
  cmake_parse_arguments(ARG "" "PREFIX;FOLDER;EXCLUDE" "EXTRA;LINK;ENVIRONMENT;DEFINES;DEPENDS" ${ARGN})
  if(NOT ARG_FOLDER)
    set(ARG_FOLDER ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_FOLDER}/*_test.cpp)
  if(ARG_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  foreach(src ${srcs})
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "_test$" "" stem ${stem})
    set(name ${ARG_PREFIX}_${stem})
    add_executable(${name} ${src} ${ARG_EXTRA})
    target_compile_options(${name} PRIVATE ${VC_WARNINGS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LINK} vc_test_support GTest::gtest)
    if(ARG_DEFINES)
      target_compile_definitions(${name} PRIVATE ${ARG_DEFINES})
    endif()
    if(ARG_DEPENDS)
      add_dependencies(${name} ${ARG_DEPENDS})
    endif()
    if(ARG_ENVIRONMENT)
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                           PROPERTIES TIMEOUT 600 ENVIRONMENT "${ARG_ENVIRONMENT}")
    else()
      gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 600)
    endif()
  endforeach()
endfunction()
