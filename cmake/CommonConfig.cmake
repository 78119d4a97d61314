# Settings every target of the project shares: language level, Qt's strict switches, warnings.
add_library(quenbry_common INTERFACE)
target_compile_features(quenbry_common INTERFACE cxx_std_20)
target_compile_definitions(quenbry_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
)
if(MSVC)
    target_compile_options(quenbry_common INTERFACE /W4 $<$<BOOL:${QUENBRY_WERROR}>:/WX>)
else()
    target_compile_options(quenbry_common INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
        $<$<BOOL:${QUENBRY_WERROR}>:-Werror>)
endif()

# Sanitizer builds, for developers (CI builds without them). Qt and the other system libraries
# are not instrumented: ThreadSanitizer reads tests/tsan.supp for reports that lie wholly inside
# them.
option(QUENBRY_SANITIZE_ADDRESS "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QUENBRY_SANITIZE_THREAD "Build with ThreadSanitizer" OFF)
# libFuzzer programs in fuzz/, Clang only; they imply AddressSanitizer and UBSan everywhere.
option(QUENBRY_BUILD_FUZZERS "Build the libFuzzer programs in fuzz/ (Clang only)" OFF)
set(QUENBRY_FUZZERS_ENABLED OFF)
if(QUENBRY_BUILD_FUZZERS)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        set(QUENBRY_FUZZERS_ENABLED ON)
        set(QUENBRY_SANITIZE_ADDRESS ON)
    else()
        message(WARNING "QUENBRY_BUILD_FUZZERS needs Clang (CXX=clang++): fuzzers are not built")
    endif()
endif()
if(QUENBRY_SANITIZE_ADDRESS AND QUENBRY_SANITIZE_THREAD)
    message(FATAL_ERROR "QUENBRY_SANITIZE_ADDRESS and QUENBRY_SANITIZE_THREAD exclude each other")
endif()
if((QUENBRY_SANITIZE_ADDRESS OR QUENBRY_SANITIZE_THREAD) AND MSVC)
    message(FATAL_ERROR "The sanitizer options are for GCC and Clang")
endif()
if(QUENBRY_SANITIZE_ADDRESS)
    # Undefined behaviour stops the program, so a test cannot pass over it.
    set(_quenbry_sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined)
elseif(QUENBRY_SANITIZE_THREAD)
    set(_quenbry_sanitize -fsanitize=thread)
endif()
if(_quenbry_sanitize)
    if(QUENBRY_FUZZERS_ENABLED)
        # Coverage feedback for the fuzzers from all of the project's code.
        target_compile_options(quenbry_common INTERFACE -fsanitize=fuzzer-no-link)
    endif()
    target_compile_options(quenbry_common INTERFACE ${_quenbry_sanitize} -fno-omit-frame-pointer)
    target_link_options(quenbry_common INTERFACE ${_quenbry_sanitize})
endif()
if(QUENBRY_SANITIZE_THREAD)
    # Keeps the threads that start child processes checked; see the file.
    target_sources(quenbry_common INTERFACE "${CMAKE_CURRENT_LIST_DIR}/tsanvfork.cpp")
endif()
