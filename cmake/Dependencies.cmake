# Third-party libraries. Native builds take Debian's -dev packages; the
# Windows build finds the static libraries cross-built by
# scripts/build-windows-deps in the prefix named by the toolchain file.
# Each later dependency is one find_package line here.
find_package(PkgConfig REQUIRED)

if(WIN32)
  set(PCRE2_USE_STATIC_LIBS ON)
  find_package(expat CONFIG REQUIRED)
  find_package(PCRE2 CONFIG REQUIRED COMPONENTS 8BIT)
  add_library(orv_expat ALIAS expat::expat)
  add_library(orv_pcre2 ALIAS PCRE2::8BIT)
  # Static libcurl with Schannel (HTTP and MAIL).
  find_package(CURL CONFIG REQUIRED)
  add_library(orv_curl ALIAS CURL::libcurl)
  # Picture decoders (static): libpng with zlib, libjpeg-turbo, OpenJPEG.
  find_package(PNG REQUIRED)
  find_package(libjpeg-turbo CONFIG REQUIRED)
  find_package(OpenJPEG CONFIG REQUIRED)
  add_library(orv_pictures INTERFACE)
  target_link_libraries(orv_pictures INTERFACE PNG::PNG libjpeg-turbo::jpeg-static openjp2)
else()
  pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
  pkg_check_modules(PCRE2 REQUIRED IMPORTED_TARGET libpcre2-8)
  add_library(orv_expat ALIAS PkgConfig::EXPAT)
  add_library(orv_pcre2 ALIAS PkgConfig::PCRE2)
  pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
  add_library(orv_curl ALIAS PkgConfig::CURL)
  # Picture decoders: libpng with zlib, libjpeg-turbo, OpenJPEG.
  pkg_check_modules(PICTURES REQUIRED IMPORTED_TARGET libpng libjpeg libopenjp2)
  add_library(orv_pictures ALIAS PkgConfig::PICTURES)
  # The registry store of the POSIX build.
  pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET sqlite3)
  add_library(orv_sqlite3 ALIAS PkgConfig::SQLITE3)
  # File digests of the POSIX build (Windows uses BCrypt).
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
endif()
find_package(Threads REQUIRED)
