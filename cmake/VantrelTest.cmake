# vantrel_add_test(NAME <name> SOURCES <files...> [CORE] [LIBS <libs...>] [LABELS <labels...>]
#                  [FIXTURES <fixtures...>] [TIMEOUT <seconds>])
# Adds one Qt Test executable run by CTest with the offscreen platform. CORE tests link only the
# logic library (no widgets); the others link the widget library and the shared test support.
function(vantrel_add_test)
    cmake_parse_arguments(ARG "CORE" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;FIXTURES" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    if(ARG_CORE)
        target_link_libraries(${ARG_NAME} PRIVATE vantrel_core Qt6::Test ${ARG_LIBS})
    else()
        target_link_libraries(${ARG_NAME} PRIVATE vantrel_test_support ${ARG_LIBS})
    endif()
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${ARG_NAME} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu;VANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR};VANTREL_BINARY_DIR=${CMAKE_BINARY_DIR}")
    if(ARG_LABELS)
        set_tests_properties(${ARG_NAME} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    if(ARG_FIXTURES)
        set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES}")
    endif()
endfunction()
