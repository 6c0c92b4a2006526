# Finds what the tests need. Tests asked for by name (-DKX_BUILD_TESTS=ON)
# stop the configure when something is missing; tests that are on only by
# default are switched off with a warning, so that building and installing
# the library needs none of these packages.
find_package(GTest QUIET)
find_path(MPFR_INCLUDE_DIR mpfr.h)
find_library(MPFR_LIBRARY mpfr)
find_library(GMP_LIBRARY gmp)

set(kx_missing_test_packages)
if(NOT GTest_FOUND)
  list(APPEND kx_missing_test_packages libgtest-dev)
endif()
if(NOT MPFR_INCLUDE_DIR OR NOT MPFR_LIBRARY OR NOT GMP_LIBRARY)
  list(APPEND kx_missing_test_packages libmpfr-dev)
endif()

if(kx_missing_test_packages)
  list(JOIN kx_missing_test_packages " " kx_packages)
  set(kx_advice "The tests need ${kx_packages}: install them (apt-get install ${kx_packages}), or configure with -DKX_BUILD_TESTS=OFF to build without the tests.")
  if(KX_TESTS_REQUESTED)
    message(FATAL_ERROR "${kx_advice}")
  endif()
  message(WARNING "Tests are off. ${kx_advice}")
  set(KX_BUILD_TESTS OFF CACHE BOOL "Build the test suite (needs GoogleTest and MPFR)" FORCE)
endif()
