# tarvel_library(NAME SOURCES... [LINKS targets...])
#   One static library per source folder, with the project's warnings and include root.
function(tarvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS} PRIVATE tarvel_warnings)
endfunction()

# tarvel_test(NAME SOURCES... [LINKS targets...] [GUI] [DEMO] [LARGE_DEMO] [PG])
#   A GoogleTest executable registered with CTest (one CTest entry per test case).
#   Tests run offscreen and in the Traditional Chinese locale the program expects, under a core
#   application, or a widget application with GUI. DEMO: the tests read the run's demo database,
#   which the CTest fixture demo_database writes once per run. LARGE_DEMO: also the run's large
#   demo (fixture large_demo_database, TARVEL_TEST_LARGE_DEMO). PG: they also use the run's
#   PostgreSQL server with the same demo (fixture pg_server, TARVEL_TEST_PG_URI).
function(tarvel_test name)
  cmake_parse_arguments(ARG "GUI;DEMO;LARGE_DEMO;PG" "" "SOURCES;LINKS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)
  if(ARG_GUI)
    set(main tarvel_testmain_gui)
  else()
    set(main tarvel_testmain_core)
  endif()
  set(environment "QT_QPA_PLATFORM=offscreen;PAPERSIZE=a4;TARVEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};TARVEL_BINARY_DIR=${PROJECT_BINARY_DIR}")
  set(fixtures "")
  if(ARG_DEMO)
    list(APPEND ARG_LINKS tarvel_testdemo)
    string(APPEND environment ";TARVEL_TEST_DEMO=${TARVEL_TEST_DEMO}")
    list(APPEND fixtures demo_database)
  endif()
  if(ARG_LARGE_DEMO)
    string(APPEND environment ";TARVEL_TEST_LARGE_DEMO=${TARVEL_TEST_LARGE_DEMO}")
    list(APPEND fixtures large_demo_database)
  endif()
  if(ARG_PG)
    string(APPEND environment ";TARVEL_TEST_PG_URI=${TARVEL_TEST_PG_URI}")
    list(APPEND fixtures pg_server)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} ${main} tarvel_testsupport GTest::gtest GTest::gmock tarvel_warnings)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  # The environment and the fixtures go on every discovered test from a script CTest reads after
  # the discovered list (${name}_TESTS): gtest_discover_tests's own PROPERTIES keep only the first
  # element of a list (CMake 3.25), which lost every variable but the first and every fixture.
  set(properties "ENVIRONMENT [==[${environment}]==]")
  if(fixtures)
    string(APPEND properties " FIXTURES_REQUIRED [==[${fixtures}]==]")
  endif()
  set(properties_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${properties_file}
       "foreach(test IN LISTS ${name}_TESTS)\n"
       "  set_tests_properties(\"\${test}\" PROPERTIES ${properties})\n"
       "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties_file})
endfunction()

# tarvel_folder_library(NAME [PARTS folders...] [LINKS targets...])
#   The library of the calling folder: every .cpp/.h/.ui directly in it, and in each of the
#   PARTS folders under it (parts of one library, such as one folder per database engine).
function(tarvel_folder_library name)
  cmake_parse_arguments(ARG "" "" "PARTS;LINKS" ${ARGN})
  set(sources "")
  foreach(folder ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_PARTS})
    get_filename_component(folder ${folder} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB part CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h ${folder}/*.ui)
    list(APPEND sources ${part})
  endforeach()
  tarvel_library(${name} SOURCES ${sources} LINKS ${ARG_LINKS})
endfunction()

# tarvel_folder_test(NAME [LINKS targets...] [GUI] [DEMO] [LARGE_DEMO] [PG])
#   The test program of the calling tests/ folder: every .cpp directly in it.
function(tarvel_folder_test name)
  cmake_parse_arguments(ARG "GUI;DEMO;LARGE_DEMO;PG" "" "LINKS" ${ARGN})
  set(flags "")
  foreach(flag GUI DEMO LARGE_DEMO PG)
    if(ARG_${flag})
      list(APPEND flags ${flag})
    endif()
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  tarvel_test(${name} SOURCES ${sources} LINKS ${ARG_LINKS} ${flags})
endfunction()
