# Third-party code comes from Debian packages; nothing is copied into the repository.

# GoogleTest from the googletest package's sources, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# stb_image (libstb-dev): header plus one translation unit that holds the implementation.
add_library(stb_image STATIC ${CMAKE_CURRENT_SOURCE_DIR}/cmake/deps/stb_image_impl.c)
target_include_directories(stb_image SYSTEM PUBLIC /usr/include/stb)

# RapidJSON (rapidjson-dev): header only.
# /usr/include itself must not reach the cross compiler (it holds the host's C headers), so the
# package's folder is linked into a private include directory.
set(OMBREL_DEP_INCLUDE ${CMAKE_BINARY_DIR}/dep-include)
file(MAKE_DIRECTORY ${OMBREL_DEP_INCLUDE})
file(CREATE_LINK /usr/include/rapidjson ${OMBREL_DEP_INCLUDE}/rapidjson SYMBOLIC)
add_library(rapidjson INTERFACE)
target_include_directories(rapidjson SYSTEM INTERFACE ${OMBREL_DEP_INCLUDE})
target_compile_definitions(rapidjson INTERFACE RAPIDJSON_HAS_STDSTRING=1)

# zlib for mingw (libz-mingw-w64-dev), linked in: Windows has no zlib1.dll for the program to load.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

# minizip's unzip reader from Debian's zlib source package (fetched by scripts/install-deps.sh).
set(OMBREL_DEPS_DIR ${CMAKE_CURRENT_SOURCE_DIR}/.deps CACHE PATH "Unpacked source packages")
file(GLOB OMBREL_MINIZIP_DIR LIST_DIRECTORIES true ${OMBREL_DEPS_DIR}/zlib-*/contrib/minizip)
if(NOT OMBREL_MINIZIP_DIR)
  message(FATAL_ERROR "minizip sources not found under ${OMBREL_DEPS_DIR}: run scripts/install-deps.sh")
endif()
list(GET OMBREL_MINIZIP_DIR 0 OMBREL_MINIZIP_DIR)
add_library(minizip STATIC ${OMBREL_MINIZIP_DIR}/unzip.c ${OMBREL_MINIZIP_DIR}/ioapi.c)
target_include_directories(minizip SYSTEM PUBLIC ${OMBREL_MINIZIP_DIR})
target_compile_definitions(minizip PUBLIC NOUNCRYPT)
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC ZLIB::ZLIB)

# The libdeflate decompressor from Debian's libdeflate source package (fetched by
# scripts/install-deps.sh): whole-buffer inflating, much faster than a streaming inflater, for the
# PNG pictures of skins.
file(GLOB OMBREL_LIBDEFLATE_DIR LIST_DIRECTORIES true ${OMBREL_DEPS_DIR}/libdeflate-*)
if(NOT OMBREL_LIBDEFLATE_DIR)
  message(FATAL_ERROR "libdeflate sources not found under ${OMBREL_DEPS_DIR}: run scripts/install-deps.sh")
endif()
list(GET OMBREL_LIBDEFLATE_DIR 0 OMBREL_LIBDEFLATE_DIR)
add_library(libdeflate STATIC
  ${OMBREL_LIBDEFLATE_DIR}/lib/deflate_decompress.c ${OMBREL_LIBDEFLATE_DIR}/lib/zlib_decompress.c
  ${OMBREL_LIBDEFLATE_DIR}/lib/adler32.c ${OMBREL_LIBDEFLATE_DIR}/lib/utils.c
  ${OMBREL_LIBDEFLATE_DIR}/lib/x86/cpu_features.c)
target_include_directories(libdeflate SYSTEM PUBLIC ${OMBREL_LIBDEFLATE_DIR})
target_compile_options(libdeflate PRIVATE -w)
