# The source's time, for every date in the Debian package: SOURCE_DATE_EPOCH
# when it is set, else the last commit's. Read when configuring and by CPack
# when it makes the package (its project config file).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${CPACK_VELLORAN_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE _velloran_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(_velloran_epoch)
    set(ENV{SOURCE_DATE_EPOCH} ${_velloran_epoch})
  endif()
endif()
