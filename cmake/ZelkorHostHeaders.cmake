# Header-only libraries for a cross build, taken from the build machine.
# Debian installs them into /usr/include beside the build machine's C library;
# putting that directory on a cross compiler's include path would shadow the
# target's own C headers. So each library's folder is linked into a directory
# of its own under the build tree, and only that directory is added.

# zelkor_host_headers(<target> <folder> <probe header>)
# Finds <probe header> among the build machine's headers and makes <target>,
# an interface library whose include directory holds only <folder>. Sets
# ZELKOR_HOST_HEADERS_<folder> to that directory.
function(zelkor_host_headers target folder probe)
  find_path(ZELKOR_HOST_INCLUDE_${folder} ${probe}
            PATHS /usr/include /usr/local/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ZELKOR_HOST_INCLUDE_${folder})
    message(FATAL_ERROR "${probe} not found among the build machine's headers")
  endif()
  set(dir ${PROJECT_BINARY_DIR}/host-headers/${folder})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${ZELKOR_HOST_INCLUDE_${folder}}/${folder} ${dir}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${dir})
  set(ZELKOR_HOST_HEADERS_${folder} ${dir} PARENT_SCOPE)
endfunction()
