# Windows tests run under wine64 through a wrapper. One Wine session (Xvfb, a fresh prefix and
# HOME, a persistent wineserver, an unprivileged user) is shared by every test of a ctest run:
# the fixture below starts it before the first Windows test and stops it after the last one.
set(MENDPACK_WINE_SESSION_DIR ${CMAKE_BINARY_DIR}/wine-session)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-exec.sh ${MENDPACK_WINE_SESSION_DIR})

function(mendpack_wine_fixture)
    # One fixture for the whole build, wherever the first Windows test is declared.
    get_property(done GLOBAL PROPERTY MENDPACK_WINE_FIXTURE)
    if(done)
        return()
    endif()
    set_property(GLOBAL PROPERTY MENDPACK_WINE_FIXTURE TRUE)
    add_test(NAME wine_session_start
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh start ${MENDPACK_WINE_SESSION_DIR} ${CMAKE_BINARY_DIR}/bin)
    add_test(NAME wine_session_stop
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-session.sh stop ${MENDPACK_WINE_SESSION_DIR})
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 1200)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()

# mendpack_add_wine_test(NAME name COMMAND target [args...] [TIMEOUT s])
function(mendpack_add_wine_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND" ${ARGN})
    # Only wine64 runs here: in the 32-bit build the test is declared (so that its properties can
    # be set as in the 64-bit one) but disabled; that build is checked statically instead.
    if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
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
