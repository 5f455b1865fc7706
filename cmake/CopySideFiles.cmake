# Copies support/ and Help/ beside the executables; a folder that does not exist is skipped.
foreach(dir support Help)
    file(MAKE_DIRECTORY ${DEST}/${dir})
    if(EXISTS ${SRC}/${dir})
        file(COPY ${SRC}/${dir}/ DESTINATION ${DEST}/${dir})
    endif()
endforeach()
