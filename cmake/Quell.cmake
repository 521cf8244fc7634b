# Shared build settings for QuellPane's own targets (not third-party code).

if(MSVC)
    set(QUELL_WARNINGS /W4 /WX /permissive- /utf-8)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
    set(QUELL_WARNINGS -Wall -Wextra -Wshadow -Wimplicit-fallthrough -Werror)
endif()

function(quell_target target)
    target_compile_options(${target} PRIVATE ${QUELL_WARNINGS})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    if(WIN32)
        target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                    _WIN32_WINNT=0x0A00 WINVER=0x0A00)
    endif()
endfunction()

# A static library of the portable core (plus extra sources) with its own compile flags, so
# that tests, benchmarks and fuzz targets each get a core built the way they need.
function(quell_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;FLAGS" ${ARGN})
    add_library(${name} STATIC ${QUELL_CORE_SOURCES} ${ARG_SOURCES})
    quell_target(${name})
    target_compile_options(${name} PUBLIC ${ARG_FLAGS})
    target_link_options(${name} PUBLIC ${ARG_FLAGS})
endfunction()

# A Windows program of ours (QuellPane.exe and its helpers): Unicode entry point, static
# runtime, built into bin/ beside QuellPane.exe, whose data files are looked up there.
function(quell_windows_program target)
    cmake_parse_arguments(ARG "WIN32" "" "SOURCES;LIBRARIES" ${ARGN})
    if(ARG_WIN32)
        add_executable(${target} WIN32 ${ARG_SOURCES})
    else()
        add_executable(${target} ${ARG_SOURCES})
    endif()
    quell_target(${target})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    if(MINGW)
        target_link_options(${target} PRIVATE -municode -static -static-libgcc -static-libstdc++
                                              $<$<CONFIG:Release>:-s>)
    endif()
    target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
endfunction()
