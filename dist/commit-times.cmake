# Run by cpack once the files to pack are installed into its staging folder, before it packs
# them: every file and folder takes the time of the commit (SOURCE_DATE_EPOCH) rather than that of
# the build, so that two builds of a commit pack the same bytes. Without SOURCE_DATE_EPOCH (cpack
# run by hand) the times are left as they are.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} OR "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  return()
endif()
execute_process(
  COMMAND find "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not set the packed files' times to SOURCE_DATE_EPOCH")
endif()
