# krt_test_bitmaps(<out-var> <name>=<convert arguments>...)
# Makes small BMP files of solid, distinct colours at build time (ImageMagick), so that a test can
# recognise what a control shows by its pixels. <out-var> receives the list of files made.
find_program(KRT_CONVERT convert REQUIRED)
function(krt_test_bitmaps out_var)
    set(files)
    foreach(spec ${ARGN})
        string(FIND "${spec}" "=" eq)
        string(SUBSTRING "${spec}" 0 ${eq} name)
        math(EXPR start "${eq} + 1")
        string(SUBSTRING "${spec}" ${start} -1 args)
        separate_arguments(args UNIX_COMMAND "${args}")
        set(file ${CMAKE_CURRENT_BINARY_DIR}/bitmaps/${name}.bmp)
        add_custom_command(OUTPUT ${file}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/bitmaps
            COMMAND ${KRT_CONVERT} ${args} -type TrueColor BMP3:${file}
            VERBATIM)
        list(APPEND files ${file})
    endforeach()
    set(${out_var} ${files} PARENT_SCOPE)
endfunction()
