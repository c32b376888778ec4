# System libraries that load on first use rather than with the program.

# plandesk_system_libs(<out> <libs>...) sets <out> to what links <libs>: the
# ones named in PLANDESK_DELAYED_LIBS through plandesk_delayed_lib, so that
# they load on first use, the others as they are.
function(plandesk_system_libs out)
  set(linked)
  foreach(lib IN LISTS ARGN)
    if(WIN32 AND lib IN_LIST PLANDESK_DELAYED_LIBS)
      plandesk_delayed_lib(lib "${lib}")
    endif()
    list(APPEND linked "${lib}")
  endforeach()
  set(${out} "${linked}" PARENT_SCOPE)
endfunction()

# The system libraries that the first window does not need: sockets and name
# servers of the crash reporter's mail, the accessibility layer's COM,
# version information, and the shell (opening links, the tray icon). Each costs start-up time when loaded with the program
# (some milliseconds apiece under Wine); delayed, the first call loads it. A
# library that cannot be loaded then raises a structured exception that the
# crash reporter names (crash/ExceptionLog.win32.cpp).
set(PLANDESK_DELAYED_LIBS ws2_32 iphlpapi version ole32 oleaut32 oleacc shell32)

# plandesk_delayed_lib(<out> <lib>) makes, at configure time, a delay-load
# import library for every function that the system's import library <lib>
# imports from <lib>.dll, and sets <out> to its path.
function(plandesk_delayed_lib out lib)
  set(def "${CMAKE_BINARY_DIR}/delayed/${lib}.def")
  if(NOT EXISTS "${def}")
    find_library(plandesk_import_${lib} NAMES "lib${lib}.a" "${lib}" REQUIRED NO_CACHE)
    execute_process(COMMAND "${CMAKE_NM}" "${plandesk_import_${lib}}" OUTPUT_VARIABLE symbols
      COMMAND_ERROR_IS_FATAL ANY)
    # A function has its import slot "__imp_X" and its thunk "X"; data has
    # only the slot and stays with the ordinary import library.
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+\n" slots "${symbols}")
    list(REMOVE_DUPLICATES slots)
    set(exports "EXPORTS\n")
    foreach(slot IN LISTS slots)
      string(STRIP "${slot}" slot)
      string(SUBSTRING "${slot}" 8 -1 name)
      string(FIND "${symbols}" " T ${name}\n" thunk)
      if(thunk GREATER -1)
        string(APPEND exports "${name}\n")
      endif()
    endforeach()
    file(WRITE "${def}.new" "${exports}")
    file(RENAME "${def}.new" "${def}")
  endif()
  plandesk_delay_import(delayed "${lib}.dll" "${def}")
  set(${out} "${delayed}" PARENT_SCOPE)
endfunction()

# plandesk_delay_import(<out> <dll file> <def file>) makes the delay-load
# import library of the functions <def file> lists from <dll file>.
function(plandesk_delay_import out dll def)
  get_filename_component(name "${def}" NAME_WE)
  set(delayed "${CMAKE_BINARY_DIR}/delayed/lib${name}_delayed.a")
  if(NOT EXISTS "${delayed}" OR "${def}" IS_NEWER_THAN "${delayed}")
    execute_process(COMMAND "${CMAKE_DLLTOOL}" --input-def "${def}" --dllname "${dll}"
      --output-delaylib "${delayed}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  set(${out} "${delayed}" PARENT_SCOPE)
endfunction()
