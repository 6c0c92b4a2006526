# The README's install recipe on a machine without the test packages, and
# two programs outside the tree built against the installed package: one
# through find_package(kx), one through pkg-config.
#   cmake -DSOURCE=<kx source> -DWORK=<scratch dir> -P check_package.cmake
cmake_minimum_required(VERSION 3.25)

set(sqrt2 "1.41421356237309504880168872420969807856967187537694807317667e0")  # cut, not rounded

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(rc "${rc}" PARENT_SCOPE)
  set(out "${out}${err}" PARENT_SCOPE)
endfunction()

function(must_succeed what)
  run(${ARGN})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
# GoogleTest, MPFR and pybind11 hidden from every find command of the configure.
set(hide -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_pybind11=ON
    "-DCMAKE_IGNORE_PREFIX_PATH=/usr;/usr/local"
    "-DCMAKE_IGNORE_PATH=/usr/include;/usr/lib;/usr/lib/x86_64-linux-gnu;/usr/local/include;/usr/local/lib")

must_succeed("configure without the test packages" ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build ${hide})
if(NOT out MATCHES "Tests are off.*apt-get install libgtest-dev libmpfr-dev.*-DKX_BUILD_TESTS=OFF")
  message(FATAL_ERROR "the configure did not say which packages the tests need:\n${out}")
endif()
must_succeed("build" ${CMAKE_COMMAND} --build ${WORK}/build -j2)
must_succeed("install" ${CMAKE_COMMAND} --install ${WORK}/build --prefix ${WORK}/prefix)
if(EXISTS ${WORK}/prefix/include/kx/support/format.h OR EXISTS ${WORK}/prefix/include/kx/pslq/utilities.h)
  message(FATAL_ERROR "internal headers were installed")
endif()

# Tests asked for by name stop the configure instead.
run(${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build-tests -DKX_BUILD_TESTS=ON ${hide})
if(rc EQUAL 0 OR NOT out MATCHES "The tests need libgtest-dev libmpfr-dev")
  message(FATAL_ERROR "tests asked for without their packages did not stop the configure:\n${out}")
endif()

# find_package(kx)
must_succeed("configure of the find_package consumer" ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/consumer
             -B ${WORK}/consumer -DCMAKE_PREFIX_PATH=${WORK}/prefix)
must_succeed("build of the find_package consumer" ${CMAKE_COMMAND} --build ${WORK}/consumer)
must_succeed("find_package consumer" ${WORK}/consumer/consumer)
if(NOT out MATCHES "^${sqrt2}")
  message(FATAL_ERROR "the find_package consumer printed:\n${out}")
endif()

# pkg-config, with the .pc file found from the prefix chosen at install time.
file(GLOB_RECURSE pc ${WORK}/prefix/kx.pc)
get_filename_component(pcdir "${pc}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pcdir})
must_succeed("pkg-config" pkg-config --cflags --libs kx)
separate_arguments(flags UNIX_COMMAND "${out}")
must_succeed("build of the pkg-config consumer" ${CMAKE_CXX_COMPILER} ${CMAKE_CURRENT_LIST_DIR}/consumer/main.cpp
             -o ${WORK}/pc-consumer ${flags})
must_succeed("pkg-config consumer" ${WORK}/pc-consumer)
if(NOT out MATCHES "^${sqrt2}")
  message(FATAL_ERROR "the pkg-config consumer printed:\n${out}")
endif()
message(STATUS "package checks passed")
