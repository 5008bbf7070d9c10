# mendpack_add_quiet_wine_test(NAME name TARGET target [TIMEOUT s])
#
# Wine stops its background programs (services.exe and kin) while no Windows program runs, and
# the next program to start brings them back up handing them its own output pipe; they keep it
# for the rest of the session, so ctest waits on that pipe until the test times out. Starting
# the test program once with its output going nowhere (listing its tests) puts those programs up
# holding nothing of ctest's; then the real run follows.
function(mendpack_add_quiet_wine_test)
    cmake_parse_arguments(T "" "NAME;TARGET;TIMEOUT" "" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    # (a newline, not a semicolon, between the two commands: CMake would split the list there)
    set(run "\"$1\" \"$2\" \"$3\" --gtest_list_tests </dev/null >/dev/null 2>&1\nexec \"$1\" \"$2\" \"$3\"")
    mendpack_add_wine_test(NAME ${T_NAME} TIMEOUT ${T_TIMEOUT}
                           COMMAND sh -c ${run} sh ${CMAKE_SOURCE_DIR}/cmake/wine-exec.sh
                                   ${MENDPACK_WINE_SESSION_DIR} $<TARGET_FILE:${T_TARGET}>)
endfunction()
