# The one configuration target that every target of ours links: language
# level, warnings and sanitizers.
add_library(repeta_config INTERFACE)
target_compile_features(repeta_config INTERFACE cxx_std_17)
target_include_directories(repeta_config INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(repeta_config INTERFACE -Wall -Wextra -Wpedantic -Wshadow
    # Qt's logging macros (qCWarning) expand to an empty variadic list.
    $<$<CXX_COMPILER_ID:Clang>:-Wno-gnu-zero-variadic-macro-arguments>)
target_compile_definitions(repeta_config INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH QT_DISABLE_DEPRECATED_UP_TO=0x060000)
if(REPETA_WERROR)
    target_compile_options(repeta_config INTERFACE -Werror)
endif()

# Release builds, which the package is made of, are hardened as Debian
# hardens its own packages.
if(NOT REPETA_SANITIZE)
    target_compile_options(repeta_config INTERFACE $<$<CONFIG:Release>:-fstack-protector-strong>)
    target_compile_definitions(repeta_config INTERFACE $<$<CONFIG:Release>:_FORTIFY_SOURCE=2>)
    target_link_options(repeta_config INTERFACE $<$<CONFIG:Release>:LINKER:-z,relro,-z,now>)
endif()

if(REPETA_SANITIZE)
    set(_flags -fsanitize=${REPETA_SANITIZE} -fno-omit-frame-pointer)
    if(REPETA_SANITIZE MATCHES "undefined")
        # Qt is not built with these checks; vptr needs its type information.
        list(APPEND _flags -fno-sanitize=vptr -fno-sanitize-recover=undefined)
    endif()
    target_compile_options(repeta_config INTERFACE ${_flags})
    target_link_options(repeta_config INTERFACE ${_flags})
endif()

if(REPETA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "REPETA_FUZZ needs clang")
    endif()
    target_compile_options(repeta_config INTERFACE -fsanitize=fuzzer-no-link)
endif()

# repeta_module(<name> <sources...> LINKS <targets...>)
function(repeta_module name)
    cmake_parse_arguments(M "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${M_SOURCES})
    target_link_libraries(${name} PUBLIC repeta_config ${M_LINKS})
endfunction()

# Adds the sanitizer defaults to an executable of ours.
function(repeta_executable_defaults target)
    set(defaults ${PROJECT_SOURCE_DIR}/cmake/SanitizerDefaults.cpp)
    if(REPETA_SANITIZE MATCHES "address")
        target_sources(${target} PRIVATE ${defaults})
        set_source_files_properties(${defaults} TARGET_DIRECTORY ${target} PROPERTIES COMPILE_DEFINITIONS REPETA_ASAN)
    elseif(REPETA_SANITIZE MATCHES "thread")
        target_sources(${target} PRIVATE ${defaults})
        set_source_files_properties(${defaults} TARGET_DIRECTORY ${target} PROPERTIES
            COMPILE_DEFINITIONS "REPETA_TSAN_SUPPRESSIONS=\"${PROJECT_SOURCE_DIR}/tests/tsan.supp\"")
    endif()
endfunction()
