# Precompiled Qt headers. Most files of the project include the same few Qt headers, and parsing
# them is most of the time a small file takes to compile. One header is made per kind of target
# (logic library, page library, test code with or without widgets) by a small library that links
# what targets of that kind link, so that the compile flags and macros agree and every target of
# the kind reuses it (REUSE_FROM) instead of making its own. Kept small on purpose: measured on
# two cores, a header of all the Qt headers the project uses (160 to 240 MB each) made the build
# no faster, these few made it about 10 % faster.
option(VANTREL_PRECOMPILED_HEADERS "Precompile the Qt headers" ON)

set(vantrel_pch_core_headers <QByteArray> <QList> <QObject> <QString> <QStringList>)
set(vantrel_pch_widget_headers ${vantrel_pch_core_headers} <QWidget>)
set(vantrel_pch_test_headers <QTest>)

# Qt Test gives each target its own build and source folder as macros, which a precompiled
# header must agree on; the project's tests use neither (no QFINDTESTDATA), so all get the same.
function(vantrel_same_test_folders target)
    set_target_properties(${target} PROPERTIES QT_TESTCASE_BUILDDIR "${CMAKE_BINARY_DIR}")
    target_compile_options(${target} PRIVATE -UQT_TESTCASE_SOURCEDIR
        "-DQT_TESTCASE_SOURCEDIR=\"${CMAKE_SOURCE_DIR}\"")
endfunction()

# The tests' own code is a driver: compiled with less optimisation than the code it tests, it
# builds much faster. Test targets and their precompiled headers are compiled so.
function(vantrel_test_code target)
    target_compile_options(${target} PRIVATE -O1)
endfunction()

function(vantrel_add_pch name)
    cmake_parse_arguments(ARG "TEST" "" "LIBS;HEADERS" ${ARGN})
    if(NOT VANTREL_PRECOMPILED_HEADERS)
        return()
    endif()
    add_library(${name} STATIC "${CMAKE_SOURCE_DIR}/cmake/PrecompiledHeaders.cpp")
    target_link_libraries(${name} PUBLIC vantrel_options ${ARG_LIBS})
    target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
    vantrel_same_test_folders(${name})
    if(ARG_TEST)
        vantrel_test_code(${name})
    endif()
endfunction()

vantrel_add_pch(vantrel_pch_core LIBS Qt6::Core HEADERS ${vantrel_pch_core_headers})
vantrel_add_pch(vantrel_pch_widgets LIBS Qt6::Widgets HEADERS ${vantrel_pch_widget_headers})
vantrel_add_pch(vantrel_pch_test_core TEST
    LIBS Qt6::Core Qt6::Gui Qt6::Network Qt6::Multimedia Qt6::Test
    HEADERS ${vantrel_pch_core_headers} ${vantrel_pch_test_headers})
vantrel_add_pch(vantrel_pch_test_widgets TEST
    LIBS Qt6::Widgets Qt6::Network Qt6::Multimedia Qt6::Test
    HEADERS ${vantrel_pch_widget_headers} ${vantrel_pch_test_headers})

# target uses the precompiled header of its kind: core, widgets, test_core or test_widgets. A test
# kind also makes it test code (vantrel_test_code).
function(vantrel_use_precompiled_headers target kind)
    if(kind MATCHES "^test_")
        vantrel_test_code(${target})
    endif()
    if(NOT VANTREL_PRECOMPILED_HEADERS)
        return()
    endif()
    target_precompile_headers(${target} REUSE_FROM vantrel_pch_${kind})
    vantrel_same_test_folders(${target})
endfunction()
