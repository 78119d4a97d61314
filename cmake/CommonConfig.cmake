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
