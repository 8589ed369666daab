# Precompiled headers: most of a compile of this project is parsing the same
# Qt (and GoogleTest) headers again for every file. Each library and test
# program parses them once into a precompiled header that its files share.
# The small program targets (a main.cpp or a dozen files) do not pay for one.
# The fuzz build uses them as well: it compiles the whole core and the
# virtual printer, and with the sanitizers too parsing is half of each compile.
set(markograph_pch_core <QByteArray> <QString> <QStringList> <QFile> <QFileInfo> <QDir> <QImage>
  <algorithm> <array> <functional> <memory> <optional> <vector>)
set(markograph_pch_widgets <QDialog> <QWidget> <QPushButton> <QLabel> <QLineEdit> <QComboBox>)
set(markograph_pch_tests <gtest/gtest.h> <gmock/gmock.h>)

function(markograph_precompile target)
  cmake_parse_arguments(PCH "WIDGETS;TESTS;CORE_ONLY" "" "" ${ARGN})
  set(headers ${markograph_pch_core})
  if(PCH_CORE_ONLY)
    list(REMOVE_ITEM headers <QImage>)  # targets that link QtCore alone
  endif()
  if(PCH_WIDGETS)
    list(APPEND headers ${markograph_pch_widgets})
  endif()
  if(PCH_TESTS)
    list(APPEND headers ${markograph_pch_tests})
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# ccache caches a compile that uses a precompiled header only when told that
# the header's macros and time stamps may be trusted; without this every such
# compile would miss the cache.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros
    ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
