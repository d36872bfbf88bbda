# Third-party libraries. Native builds take Debian's -dev packages; the
# Windows build finds the static libraries cross-built by
# scripts/build-windows-deps in the prefix named by the toolchain file.
# Each later dependency is one find_package line here.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

if(WIN32)
  set(PCRE2_USE_STATIC_LIBS ON)
  find_package(expat CONFIG REQUIRED)
  find_package(PCRE2 CONFIG REQUIRED COMPONENTS 8BIT)
  add_library(orv_expat ALIAS expat::expat)
  add_library(orv_pcre2 ALIAS PCRE2::8BIT)
  # Static libcurl with Schannel (HTTP and MAIL).
  find_package(CURL CONFIG REQUIRED)
  add_library(orv_curl ALIAS CURL::libcurl)
  # Picture encoders and decoders (static): libpng with zlib, libjpeg-turbo, OpenJPEG.
  find_package(PNG REQUIRED)
  find_package(libjpeg-turbo CONFIG REQUIRED)
  find_package(OpenJPEG CONFIG REQUIRED)
  add_library(orv_pictures INTERFACE)
  target_link_libraries(orv_pictures INTERFACE PNG::PNG libjpeg-turbo::jpeg-static openjp2)
else()
  # expat, PCRE2 and SQLite are linked from the archives Debian's -dev packages
  # ship, as the Windows exe links them: a run then starts without loading and
  # relocating them (the shared libraries when an archive is missing).
  function(orv_static_dep target module archive)
    pkg_check_modules(${target}_PC REQUIRED ${module})
    find_library(${target}_ARCHIVE NAMES ${archive} HINTS ${${target}_PC_LIBRARY_DIRS})
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${${target}_PC_INCLUDE_DIRS})
    if(${target}_ARCHIVE)
      target_link_libraries(${target} INTERFACE ${${target}_ARCHIVE} ${ARGN})
    else()
      target_link_libraries(${target} INTERFACE ${${target}_PC_LINK_LIBRARIES})
    endif()
  endfunction()
  orv_static_dep(orv_expat expat libexpat.a)
  orv_static_dep(orv_pcre2 libpcre2-8 libpcre2-8.a)
  # libcurl's headers only: the POSIX build loads the library when a transfer
  # first needs it (src/platform/posix/curl_lazy_posix.cpp).
  pkg_check_modules(CURL REQUIRED libcurl)
  add_library(orv_curl INTERFACE)
  target_include_directories(orv_curl INTERFACE ${CURL_INCLUDE_DIRS})
  target_link_libraries(orv_curl INTERFACE ${CMAKE_DL_LIBS})
  # Picture encoders and decoders: libpng with zlib, libjpeg-turbo, OpenJPEG.
  orv_static_dep(orv_zlib zlib libz.a)
  orv_static_dep(orv_png libpng libpng16.a orv_zlib m)
  orv_static_dep(orv_jpeg libjpeg libjpeg.a)
  orv_static_dep(orv_openjp2 libopenjp2 libopenjp2.a m Threads::Threads)
  add_library(orv_pictures INTERFACE)
  target_link_libraries(orv_pictures INTERFACE orv_png orv_jpeg orv_openjp2)
  # The registry store of the POSIX build.
  orv_static_dep(orv_sqlite3 sqlite3 libsqlite3.a m ${CMAKE_DL_LIBS} Threads::Threads)
  # File digests of the POSIX build (Windows uses BCrypt).
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
endif()
# JSON (header-only): Debian's nlohmann-json3-dev natively, the copy installed
# into the Windows prefix by scripts/build-windows-deps for Windows.
find_package(nlohmann_json 3 CONFIG REQUIRED)
