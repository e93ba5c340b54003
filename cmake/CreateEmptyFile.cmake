# cmake -DFILE=path -P CreateEmptyFile.cmake: creates an empty file unless one is there already.
if(NOT EXISTS "${FILE}")
    file(WRITE "${FILE}" "")
endif()
