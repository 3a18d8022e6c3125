# vantrel_add_test(NAME <name> SOURCES <files...> [CORE] [LIBS <libs...>] [LABELS <labels...>]
#                  [FIXTURES <fixtures...>] [TIMEOUT <seconds>] [DEFINITIONS <definitions...>]
#                  [DEPENDS <targets...>])
# Adds one Qt Test class, run by CTest with the offscreen platform as the test <name>, which is its
# file's name. The classes of a folder share one executable (tests_<folder>, with the widget
# libraries and the shared test support), CORE classes a second one that links only the logic
# libraries (tests_<folder>_core); the executable runs the class its first argument names. One
# executable per folder rather than per class saves dozens of links and moc runs.
function(vantrel_add_test)
    cmake_parse_arguments(ARG "CORE" "NAME;TIMEOUT"
        "SOURCES;LIBS;LABELS;FIXTURES;DEFINITIONS;DEPENDS" ${ARGN})
    get_filename_component(folder "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
    if(ARG_CORE)
        set(executable tests_${folder}_core)
    else()
        set(executable tests_${folder})
    endif()
    if(NOT TARGET ${executable})
        add_executable(${executable})
        vantrel_automoc(${executable})
        # The tests include their moc output themselves: this file stays empty and needs no
        # precompiled header, whose loading alone costs a second or two per file.
        set_source_files_properties(
            "${CMAKE_CURRENT_BINARY_DIR}/${executable}_autogen/mocs_compilation.cpp"
            PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        if(ARG_CORE)
            target_link_libraries(${executable} PRIVATE vantrel_test_main_core)
            vantrel_use_precompiled_headers(${executable} test_core)
        else()
            target_link_libraries(${executable} PRIVATE vantrel_test_main vantrel_test_support)
            vantrel_use_precompiled_headers(${executable} test_widgets)
        endif()
    endif()
    target_sources(${executable} PRIVATE ${ARG_SOURCES})
    if(ARG_LIBS)
        target_link_libraries(${executable} PRIVATE ${ARG_LIBS})
    endif()
    if(ARG_DEFINITIONS)
        target_compile_definitions(${executable} PRIVATE ${ARG_DEFINITIONS})
    endif()
    if(ARG_DEPENDS)
        add_dependencies(${executable} ${ARG_DEPENDS})
    endif()
    add_test(NAME ${ARG_NAME} COMMAND ${executable} ${ARG_NAME})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${ARG_NAME} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu;VANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR};VANTREL_BINARY_DIR=${CMAKE_BINARY_DIR}")
    foreach(cost IN LISTS VANTREL_TEST_COSTS)
        if(cost MATCHES "^${ARG_NAME}=([0-9]+)$")
            set_tests_properties(${ARG_NAME} PROPERTIES COST ${CMAKE_MATCH_1})
        endif()
    endforeach()
    if(ARG_LABELS)
        set_tests_properties(${ARG_NAME} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    if(ARG_FIXTURES)
        set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES}")
    endif()
endfunction()
