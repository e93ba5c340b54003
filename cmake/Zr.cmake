# zr_wanted(OPTION RESULT DESCRIPTION PACKAGES...)
# Sets RESULT to whether the part that OPTION (AUTO, ON or OFF) stands for is built. ON requires
# its PACKAGES; AUTO finds them quietly and, when one is missing, leaves the part out: its
# DESCRIPTION goes to the list zr_left_out and the missing packages to zr_missing.
macro(zr_wanted option result description)
    set(${result} OFF)
    if(${option} STREQUAL "AUTO")
        set(${result} ON)
        foreach(package IN ITEMS ${ARGN})
            find_package(${package} QUIET)
            if(NOT ${package}_FOUND)
                set(${result} OFF)
                list(APPEND zr_missing ${package})
            endif()
        endforeach()
        if(NOT ${result})
            list(APPEND zr_left_out "${description}")
        endif()
    elseif(${option})
        foreach(package IN ITEMS ${ARGN})
            find_package(${package} REQUIRED)
        endforeach()
        set(${result} ON)
    endif()
endmacro()

# The sanitizers of ZR_SANITIZE, for the project's own targets only: libraries found on the system
# are built as they are, and the flags never leak into a target of another project.
add_library(zr_sanitizers INTERFACE)
if(ZR_SANITIZE STREQUAL "thread")
    target_compile_options(zr_sanitizers INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(zr_sanitizers INTERFACE -fsanitize=thread)
elseif(ZR_SANITIZE)
    target_compile_options(zr_sanitizers INTERFACE -fsanitize=address,undefined
                           -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(zr_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# Warnings and sanitizers for one of the project's own targets; third-party headers come in as
# system headers.
function(zr_target_options target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
        -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
    if(ZR_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_link_libraries(${target} PRIVATE zr_sanitizers)
endfunction()

# zr_library(NAME SOURCES... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(zr_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
    zr_target_options(${name})
endfunction()

# zr_test(NAME SOURCES... LIBS ... [LABELS ...])
# A gtest program with the project's one test main (tests/support/test_main.cpp). Every test runs
# on Qt's offscreen platform; discovery happens at test time so that building never needs a
# display.
function(zr_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} zr_test_support GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    zr_target_options(${name})
    set(labels unit)
    if(ARG_LABELS)
        set(labels ${ARG_LABELS})
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${labels}" TIMEOUT 120)
endfunction()
