# The makers of test archives for the archiver's tests and benchmarks:
# make_lzh_jlha.sh (real archives, made by jlha) and craft_lzh.py (archives laid
# out byte by byte). Included from tools/CMakeLists.txt.
find_program(SETUP_JLHA jlha)
find_program(SETUP_PYTHON3 NAMES python3 HINTS /usr/bin NO_CACHE)
# The system's interpreter first: a version manager's shim takes a second to start.
if(EXISTS /usr/bin/python3)
  set(SETUP_PYTHON3 /usr/bin/python3)
endif()
set(SETUP_MAKE_LZH_JLHA ${CMAKE_CURRENT_LIST_DIR}/make_lzh_jlha.sh CACHE INTERNAL "")
set(SETUP_CRAFT_LZH ${CMAKE_CURRENT_LIST_DIR}/craft_lzh.py CACHE INTERNAL "")
set(SETUP_PYTHON3 ${SETUP_PYTHON3} CACHE INTERNAL "")
if(NOT SETUP_JLHA)
  message(STATUS "jlha (jlha-utils) not found: the archiver's tests will fail to make their archives")
endif()
