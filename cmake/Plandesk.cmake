# Shared build rules. A subsystem folder holds portable sources (*.cpp) and
# Win32 sources (*.win32.cpp, Windows build only); *.native.cpp files stand in
# for Win32 services in the native build.
include("${CMAKE_CURRENT_LIST_DIR}/DelayLoad.cmake")

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
  plandesk_system_libs(system_libs ${A_SYSTEM_LIBS})
  target_link_libraries(${target} PUBLIC ${A_DEPENDS} ${system_libs})
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

# plandesk_portable_libs(<out>) lists the portable libraries this tree
# builds, for the benchmarks and fuzz targets that link all of them.
function(plandesk_portable_libs out)
  set(libs)
  foreach(lib plandesk_skin_data plandesk_media plandesk_crash plandesk_model plandesk_core)
    if(TARGET ${lib})
      list(APPEND libs ${lib})
    endif()
  endforeach()
  set(${out} "${libs}" PARENT_SCOPE)
endfunction()

# plandesk_builtin_skin_rc(<out>) sets <out> to the resource-script lines of
# the built-in skin's other scales ("VL_BUILTIN_SKIN_<dpi>"), for the script
# that carries "VL_BUILTIN_SKIN".
function(plandesk_builtin_skin_rc out)
  set(lines "")
  foreach(dpi path IN ZIP_LISTS PLANDESK_BUILTIN_SKIN_SCALES PLANDESK_BUILTIN_SKIN_SCALED_STREAMS)
    string(APPEND lines "VL_BUILTIN_SKIN_${dpi} RCDATA \"${path}\"\n")
  endforeach()
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# plandesk_test_skins(<test target>) gives a Win32 test program the skins
# the planner has: the built-in one as the same resources (with its other
# scales), and the dark one's package path as PLANDESK_GRAPHITE_PACKAGE for
# pictures of both looks.
function(plandesk_test_skins target)
  set(skin_rc "${CMAKE_CURRENT_BINARY_DIR}/builtin_skin.rc")
  plandesk_builtin_skin_rc(scaled_rc)
  file(WRITE "${skin_rc}" "VL_BUILTIN_SKIN RCDATA \"${PLANDESK_BUILTIN_SKIN_STREAM}\"\n${scaled_rc}")
  set_source_files_properties("${skin_rc}" PROPERTIES OBJECT_DEPENDS
    "${PLANDESK_BUILTIN_SKIN_STREAM};${PLANDESK_BUILTIN_SKIN_SCALED_STREAMS}")
  target_sources(${target} PRIVATE "${skin_rc}")
  target_compile_definitions(${target} PRIVATE PLANDESK_GRAPHITE_PACKAGE="Z:${PLANDESK_GRAPHITE_PACKAGE}")
  add_dependencies(${target} builtin_skins)
endfunction()

# plandesk_shipped_program(<exe target> <file name>) makes, in the build
# folder of the calling CMakeLists.txt, the program that users get from the
# built one (which keeps its debug information for debugging and tests):
# stripped, with the crash reporter's symbol table appended again so that
# reports still name unit, procedure and line. Call it after
# plandesk_crash_symbols(<exe target>).
function(plandesk_shipped_program target name)
  set(shipped "${CMAKE_CURRENT_BINARY_DIR}/${name}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND "${PLANDESK_PYTHON}" "${PLANDESK_ROOT}/crash/ship_program.py"
      "${CMAKE_OBJCOPY}" "$<TARGET_FILE:${target}>" "${shipped}"
    BYPRODUCTS "${shipped}"
    VERBATIM)
endfunction()
