# Shared build rules. A subsystem folder holds portable sources (*.cpp) and
# Win32 sources (*.win32.cpp, Windows build only); *.native.cpp files stand in
# for Win32 services in the native build.
function(plandesk_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(picked)
  foreach(f IN LISTS all)
    if(f MATCHES "\\.win32\\.cpp$")
      if(WIN32)
        list(APPEND picked "${f}")
      endif()
    elseif(f MATCHES "\\.native\\.cpp$")
      if(NOT WIN32)
        list(APPEND picked "${f}")
      endif()
    else()
      list(APPEND picked "${f}")
    endif()
  endforeach()
  set(${out} "${picked}" PARENT_SCOPE)
endfunction()

# plandesk_library(<target> [DEPENDS <targets>...] [SYSTEM_LIBS <libs>...])
# builds the folder of the calling CMakeLists.txt into a static library.
function(plandesk_library target)
  cmake_parse_arguments(A "" "" "DEPENDS;SYSTEM_LIBS" ${ARGN})
  plandesk_sources(srcs "${CMAKE_CURRENT_SOURCE_DIR}")
  add_library(${target} STATIC ${srcs})
  target_include_directories(${target} PUBLIC "${PLANDESK_ROOT}")
  target_link_libraries(${target} PUBLIC ${A_DEPENDS} ${A_SYSTEM_LIBS})
endfunction()

# plandesk_tests(<target> [DEPENDS <targets>...]) builds the test sources of
# the calling folder into one GoogleTest program and registers its tests.
function(plandesk_tests target)
  cmake_parse_arguments(A "" "" "DEPENDS" ${ARGN})
  plandesk_sources(srcs "${CMAKE_CURRENT_SOURCE_DIR}")
  add_executable(${target} ${srcs})
  target_link_libraries(${target} PRIVATE ${A_DEPENDS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${target} PRIVATE PLANDESK_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 60)
endfunction()
