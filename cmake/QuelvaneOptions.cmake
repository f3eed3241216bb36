# Every target links quelvane_build_options: language level, warnings, Qt's strict
# string handling and, when asked for, the sanitizers.
add_library(quelvane_build_options INTERFACE)
target_compile_features(quelvane_build_options INTERFACE cxx_std_20)
target_compile_options(quelvane_build_options INTERFACE -Wall -Wextra -Wpedantic)
if(QUELVANE_WERROR)
    target_compile_options(quelvane_build_options INTERFACE -Werror)
endif()
target_compile_definitions(quelvane_build_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_FOREACH
    QT_NO_KEYWORDS
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_BEFORE=0x060400
    QUELVANE_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    QUELVANE_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    QUELVANE_VERSION_PATCH=${PROJECT_VERSION_PATCH})
if(QUELVANE_SANITIZE)
    target_compile_options(quelvane_build_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(quelvane_build_options INTERFACE -fsanitize=address,undefined)
endif()

if(QUELVANE_FUZZ)
    # Coverage for the fuzzer in every library; the fuzz targets add the driver.
    target_compile_options(quelvane_build_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(quelvane_build_options INTERFACE -fsanitize=address,undefined)
endif()

# A static library for one folder under src/.
function(quelvane_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC quelvane_build_options)
endfunction()
