# Windows tests run under Wine through a wrapper: wine64 for the 64-bit build, 32-bit Wine for
# the players' 32-bit build. One Wine session (Xvfb, a fresh prefix and HOME, a persistent
# wineserver, an unprivileged user) is shared by every test of a ctest run: the fixture below
# starts it before the first Windows test and stops it after the last one.
set(MENDPACK_WINE_SESSION_DIR ${CMAKE_BINARY_DIR}/wine-session)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-exec.sh ${MENDPACK_WINE_SESSION_DIR})

function(mendpack_wine_fixture)
    # One fixture for the whole build, wherever the first Windows test is declared.
    get_property(done GLOBAL PROPERTY MENDPACK_WINE_FIXTURE)
    if(done)
        return()
    endif()
    set_property(GLOBAL PROPERTY MENDPACK_WINE_FIXTURE TRUE)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(arch win64)
        set(timeout 300)
    else()
        # Under emulation, making the first prefix and starting its services took 25 to 38 minutes
        # on a 2-core machine, the longer with other builds beside it.
        set(arch win32)
        set(timeout 3600)
    endif()
    add_test(NAME wine_session_start
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh start ${MENDPACK_WINE_SESSION_DIR} ${CMAKE_BINARY_DIR}/bin
                     ${arch})
    add_test(NAME wine_session_stop
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh stop ${MENDPACK_WINE_SESSION_DIR})
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT ${timeout})
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()

# mendpack_add_wine_test(NAME name COMMAND target [args...] [TIMEOUT s] [BITS 64|32|32 64])
function(mendpack_add_wine_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND;BITS" ${ARGN})
    # Most Windows tests run in the 64-bit build only: emulated 32-bit Wine is slow, so the 32-bit
    # build runs those that must see its code run (BITS 32). A test that does not run in this
    # build is still declared, disabled, so that its properties can be set in both.
    if(NOT T_BITS)
        set(T_BITS 64)
    endif()
    math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
    if(NOT bits IN_LIST T_BITS)
        add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
        set_tests_properties(${T_NAME} PROPERTIES DISABLED TRUE)
        return()
    endif()
    mendpack_wine_fixture()
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    # The session has one desktop: tests that show windows would take each other's focus, so
    # Windows tests run one at a time (native tests still run beside them).
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${T_TIMEOUT} LABELS wine
                                              RESOURCE_LOCK desktop)
endfunction()
