# Lays out the release package and zips it. Run by the package_zip target:
#   cmake -DSTAGE=dir -DZIP=file.zip -DDLL=... -DEXE=... -DSOURCE=srcroot -P MakePackage.cmake
# The zip's top level is what a terminal's data folder expects (MQL5\...),
# plus bin\ (the command-line host with its own copy of the library) and the
# documents.
foreach(required STAGE ZIP DLL EXE SOURCE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "MakePackage.cmake: ${required} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${STAGE}")
file(REMOVE "${ZIP}")

file(COPY "${DLL}" DESTINATION "${STAGE}/MQL5/Libraries")
file(COPY "${SOURCE}/mql5/Include/Sedgefold.mqh" DESTINATION "${STAGE}/MQL5/Include")
file(GLOB scripts "${SOURCE}/mql5/Scripts/Sedgefold/*.mq5" "${SOURCE}/mql5/Scripts/Sedgefold/*.mqh")
file(COPY ${scripts} DESTINATION "${STAGE}/MQL5/Scripts/Sedgefold")
file(GLOB experts "${SOURCE}/mql5/Experts/Sedgefold/*.mq5")
file(COPY ${experts} DESTINATION "${STAGE}/MQL5/Experts/Sedgefold")
file(GLOB services "${SOURCE}/mql5/Services/Sedgefold/*.mq5")
file(COPY ${services} DESTINATION "${STAGE}/MQL5/Services/Sedgefold")
file(COPY "${EXE}" "${DLL}" DESTINATION "${STAGE}/bin")
file(COPY "${SOURCE}/README.md" "${SOURCE}/LICENSE" "${SOURCE}/CHANGELOG.md"
  DESTINATION "${STAGE}")
file(GLOB docs "${SOURCE}/docs/*.md" "${SOURCE}/docs/*.png")
file(COPY ${docs} DESTINATION "${STAGE}/docs")

# Entries named relative to the stage, in a fixed order.
file(GLOB_RECURSE entries RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT entries)
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip -- ${entries}
  WORKING_DIRECTORY "${STAGE}"
  RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
  message(FATAL_ERROR "MakePackage.cmake: zipping failed (${zipped})")
endif()
message(STATUS "Package: ${ZIP}")
