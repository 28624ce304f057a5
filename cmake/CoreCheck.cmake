# Fails when a core source (src/<area>/*.cpp|h, outside ui/ and app/) includes
# a widget, GUI or printing header, or a window header of the program.
file(GLOB _files ${SRC}/*/*.cpp ${SRC}/*/*.h)
set(_bad "")
foreach(f ${_files})
  if(f MATCHES "/src/app/")
    continue()
  endif()
  file(STRINGS ${f} _lines REGEX "^[ \t]*#[ \t]*include")
  foreach(l ${_lines})
    if(l MATCHES "Qt(Widgets|Gui|PrintSupport)/"
       OR l MATCHES "[<\"](QWidget|QApplication|QGuiApplication|QPainter|QImage|QPixmap|QColor|QFont|QFontMetrics|QFontDatabase|QIcon|QCursor|QPalette|QDialog|QMessageBox|QMainWindow|QPrinter|QAction|QScreen|QKeyEvent|QMouseEvent|QLabel|QPushButton|QLineEdit|QTableView|QTableWidget|QAbstractItemView|QStyle)[>\"]"
       OR l MATCHES "\"[a-z]+/ui/")
      string(APPEND _bad "  ${f}: ${l}\n")
    endif()
  endforeach()
endforeach()
if(_bad)
  message(FATAL_ERROR "The core must not include window code:\n${_bad}")
endif()
