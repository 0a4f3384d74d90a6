# The Linux engine: Word's object model over LibreOffice's C++ UNO API.
# The UNO headers are generated at build time from the office's type libraries,
# only for the types the engine uses, and reach only the uno_*.cpp files.
set(uno_dir ${CMAKE_CURRENT_LIST_DIR})
find_package(Threads REQUIRED)

set(RULECORE_LO_PROGRAM_DIR /usr/lib/libreoffice/program CACHE PATH "LibreOffice's program directory")
set(RULECORE_LO_SDK_DIR /usr/lib/libreoffice/sdk CACHE PATH "LibreOffice's SDK directory")
find_program(RULECORE_CPPUMAKER cppumaker HINTS ${RULECORE_LO_SDK_DIR}/bin NO_DEFAULT_PATH)
set(uno_type_libraries ${RULECORE_LO_PROGRAM_DIR}/types.rdb ${RULECORE_LO_PROGRAM_DIR}/types/offapi.rdb)
foreach(path ${RULECORE_CPPUMAKER} ${uno_type_libraries} ${RULECORE_LO_SDK_DIR}/include/sal/types.h)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "The LibreOffice engine needs ${path} (packages libreoffice-dev, "
                        "libreoffice-writer-nogui; or configure with -DRULECORE_UNO=OFF)")
  endif()
endforeach()

# Every type the engine names; cppumaker adds what they depend on.
set(uno_types
  com.sun.star.awt.Point com.sun.star.awt.Size
  com.sun.star.beans.PropertyValue com.sun.star.beans.XPropertySet com.sun.star.beans.NamedValue
  com.sun.star.bridge.UnoUrlResolver com.sun.star.connection.NoConnectException
  com.sun.star.container.XEnumerationAccess com.sun.star.container.XIndexAccess
  com.sun.star.container.XNameAccess com.sun.star.container.XNamed
  com.sun.star.document.XDocumentPropertiesSupplier com.sun.star.document.XUndoManagerSupplier
  com.sun.star.drawing.XDrawPageSupplier com.sun.star.drawing.XShape com.sun.star.drawing.XShapes
  com.sun.star.drawing.PointSequenceSequence
  com.sun.star.frame.Desktop com.sun.star.frame.DispatchHelper com.sun.star.frame.XDesktop2
  com.sun.star.frame.XDispatchProvider com.sun.star.frame.XModel com.sun.star.frame.XStorable
  com.sun.star.frame.XController
  com.sun.star.graphic.GraphicProvider com.sun.star.graphic.XGraphic
  com.sun.star.lang.DisposedException com.sun.star.lang.XComponent com.sun.star.lang.XMultiServiceFactory
  com.sun.star.lang.XServiceInfo com.sun.star.lang.IllegalArgumentException
  com.sun.star.style.BreakType com.sun.star.style.ParagraphAdjust com.sun.star.style.XStyleFamiliesSupplier
  com.sun.star.style.XStyle
  com.sun.star.task.XInteractionAbort com.sun.star.task.XInteractionApprove
  com.sun.star.task.XInteractionHandler com.sun.star.task.XInteractionRequest
  com.sun.star.text.ControlCharacter com.sun.star.text.TextContentAnchorType
  com.sun.star.text.XBookmarksSupplier com.sun.star.text.XPageCursor com.sun.star.text.XParagraphCursor
  com.sun.star.text.XSentenceCursor com.sun.star.text.XText com.sun.star.text.XTextColumns
  com.sun.star.text.XTextContent com.sun.star.text.XTextCursor com.sun.star.text.XTextDocument
  com.sun.star.text.XTextRange com.sun.star.text.XTextRangeCompare com.sun.star.text.XTextTable
  com.sun.star.text.XTextTableCursor com.sun.star.text.XTextTablesSupplier
  com.sun.star.text.XTextViewCursor com.sun.star.text.XTextViewCursorSupplier com.sun.star.text.XWordCursor
  com.sun.star.text.XTextGraphicObjectsSupplier com.sun.star.text.XTextFramesSupplier com.sun.star.text.XFootnotesSupplier com.sun.star.text.XEndnotesSupplier com.sun.star.drawing.XDrawPage com.sun.star.util.XReplaceDescriptor com.sun.star.text.VertOrientation
  com.sun.star.table.XCell com.sun.star.table.XCellRange com.sun.star.table.XTableColumns
  com.sun.star.table.XTableRows
  com.sun.star.awt.FontWeight com.sun.star.awt.FontSlant com.sun.star.awt.FontUnderline
  com.sun.star.uno.DeploymentException com.sun.star.uno.RuntimeException com.sun.star.uno.XWeak com.sun.star.uno.XAggregation com.sun.star.lang.XTypeProvider com.sun.star.uno.XComponentContext
  com.sun.star.util.XCloseable com.sun.star.util.XReplaceable com.sun.star.util.XSearchable
  com.sun.star.util.XModifiable
  com.sun.star.view.XLineCursor com.sun.star.view.XPrintable com.sun.star.view.XSelectionSupplier
  com.sun.star.view.XScreenCursor com.sun.star.view.XViewCursor)
list(JOIN uno_types ";" uno_type_list)
set(uno_generated ${CMAKE_BINARY_DIR}/generated/uno)
set(uno_stamp ${uno_generated}/types.stamp)
add_custom_command(
  OUTPUT ${uno_stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${uno_generated}
  COMMAND ${RULECORE_CPPUMAKER} -Gc -O${uno_generated} "-T${uno_type_list}" ${uno_type_libraries}
  COMMAND ${CMAKE_COMMAND} -E touch ${uno_stamp}
  DEPENDS ${uno_type_libraries} ${uno_dir}/sources.cmake
  COMMENT "Generating the UNO headers the LibreOffice engine uses"
  VERBATIM)
add_custom_target(rulecore_uno_types DEPENDS ${uno_stamp})
add_dependencies(rulecore rulecore_uno_types)

set(uno_sources
  ${uno_dir}/uno_office.cpp
  ${uno_dir}/uno_dispatcher.cpp
  ${uno_dir}/uno_values.cpp
  ${uno_dir}/uno_document.cpp
  ${uno_dir}/uno_range.cpp
  ${uno_dir}/uno_format.cpp
  ${uno_dir}/uno_tables.cpp
  ${uno_dir}/engine_posix.cpp)
target_sources(rulecore PRIVATE ${uno_sources})
# The office's headers and generated headers are system headers to us, so our
# warning set stays as it is for our own code.
target_include_directories(rulecore SYSTEM PRIVATE ${uno_generated} ${RULECORE_LO_SDK_DIR}/include)
set_source_files_properties(${uno_dir}/uno_office.cpp ${uno_dir}/uno_dispatcher.cpp ${uno_dir}/uno_values.cpp
  ${uno_dir}/uno_document.cpp ${uno_dir}/uno_range.cpp ${uno_dir}/uno_format.cpp ${uno_dir}/uno_tables.cpp
  PROPERTIES COMPILE_DEFINITIONS "LINUX;UNX;CPPU_ENV=gcc3;RULECORE_LO_PROGRAM_DIR=\"${RULECORE_LO_PROGRAM_DIR}\""
             # Remote objects are proxies whose vtables the UNO bridge builds at run
             # time; the dynamic-type check cannot know them.
             COMPILE_OPTIONS "-fno-sanitize=vptr")
target_link_libraries(rulecore PUBLIC
  ${RULECORE_LO_SDK_DIR}/lib/libuno_cppu.so
  ${RULECORE_LO_SDK_DIR}/lib/libuno_cppuhelpergcc3.so
  ${RULECORE_LO_SDK_DIR}/lib/libuno_sal.so
  Threads::Threads)

# The UNO libraries find their own dependencies beside them, in the office's
# program directory, so they are loaded from there.
target_link_options(rulecore PUBLIC "LINKER:-rpath-link,${RULECORE_LO_PROGRAM_DIR}" "LINKER:-rpath,${RULECORE_LO_PROGRAM_DIR}")

# The same headers and libraries for a program that talks UNO itself (the
# engine's benchmark compares with such a client).
add_library(rulecore_uno_sdk INTERFACE)
add_dependencies(rulecore_uno_sdk rulecore_uno_types)
target_include_directories(rulecore_uno_sdk SYSTEM INTERFACE ${uno_generated} ${RULECORE_LO_SDK_DIR}/include)
target_compile_definitions(rulecore_uno_sdk INTERFACE LINUX UNX CPPU_ENV=gcc3
  RULECORE_LO_PROGRAM_DIR="${RULECORE_LO_PROGRAM_DIR}")
target_compile_options(rulecore_uno_sdk INTERFACE -fno-sanitize=vptr)
set(RULECORE_WORD_ENGINE ON)
