# One QtTest executable per unit, run offscreen by ctest (the X wrapper
# switches to the xcb platform).
# WRAPPER runs the test program through a script that provides a real
# server (X, audio); such tests skip with exit code 77 when it is missing.
function(quelvane_test name)
    cmake_parse_arguments(ARG "" "WRAPPER" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test quelvane_build_options)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_compile_definitions(${name} PRIVATE
        QUELVANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    set(env "ASAN_OPTIONS=detect_leaks=1" "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp"
        "QT_QPA_PLATFORM=offscreen")
    if(ARG_WRAPPER)
        add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/${ARG_WRAPPER} $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
