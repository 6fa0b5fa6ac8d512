# ombrel_subsystem(<target> <folder> [deps...]): a static library of every .cpp under <folder>.
# Sources are globbed so that adding a class is adding its two files.
function(ombrel_subsystem target folder)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  # The entry point is compiled into the executable only.
  list(FILTER srcs EXCLUDE REGEX "/entry/WinMain\\.cpp$")
  if(NOT srcs)
    set(srcs ${CMAKE_SOURCE_DIR}/cmake/deps/empty.cpp)
  endif()
  add_library(${target} STATIC ${srcs})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${target} PRIVATE ${OMBREL_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARGN} ${OMBREL_SYSTEM_LIBS})
endfunction()
