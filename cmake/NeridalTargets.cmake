# Our own code builds with all warnings as errors; Qt and system headers are
# included as system headers and do not count.
function(neridal_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()

# One library per source folder. Sources are picked up from the folder and its
# subfolders so that adding a file needs no edit here. DEPENDS lists the
# libraries it builds on.
function(neridal_library name folder)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${folder}/*.h)
    # A folder's main.cpp is an executable's entry point, not library code:
    # in the library it would take the place of the test programs' main.
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    if(sources)
        add_library(${name} STATIC ${sources} ${headers})
        target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
        neridal_warnings(${name})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

# One GoogleTest executable per test folder, run by CTest under the offscreen
# Qt platform.
function(neridal_test_folder name folder)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.h)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} neridal_test_support GTest::gtest Qt6::Test)
    target_compile_definitions(${name} PRIVATE
        NERIDAL_SHARED_DIR="${NERIDAL_SHARED_DIR}"
        NERIDAL_BINARY_DIR="${CMAKE_BINARY_DIR}"
        NERIDAL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    neridal_warnings(${name})
    gtest_discover_tests(${name}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8"
        DISCOVERY_TIMEOUT 60)
endfunction()
