# What an install puts in place beyond the programs and the library (their
# rules sit beside their targets): the pkg-config file, the CMake package, the
# bundled example, the documents and the licence, the Python module. The
# Debian packages (debian/) and the Python wheel (python/setup.py) are cut
# from this install.
include(CMakePackageConfigHelpers)

set(zr_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/zrdll)
install(EXPORT zrdllTargets NAMESPACE zrdll:: DESTINATION ${zr_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/zrdllConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/zrdllConfig.cmake
                              INSTALL_DESTINATION ${zr_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zrdllConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zrdllConfig.cmake ${PROJECT_BINARY_DIR}/zrdllConfigVersion.cmake
        DESTINATION ${zr_cmake_dir})

# zrdll.pc names its directories relative to its own place, so the installed
# tree may move.
file(RELATIVE_PATH ZR_PC_TO_INCLUDEDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig
     /prefix/${CMAKE_INSTALL_INCLUDEDIR})
configure_file(${PROJECT_SOURCE_DIR}/engine/zrdll.pc.in ${PROJECT_BINARY_DIR}/zrdll.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zrdll.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/example/vbs_c DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvex/example)
file(GLOB zr_docs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE ${zr_docs}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Python module, where Debian's python3 looks for modules of packages.
# _version.py gives it the project's version; _installed.py tells it where
# the library lies from there (the Debian package leaves it out: there the
# library is found by its SONAME).
set(ZR_PYTHON_DIR lib/python3/dist-packages CACHE STRING "Where the Python module is installed")
file(RELATIVE_PATH zr_python_to_library /prefix/${ZR_PYTHON_DIR}/zorvex
     /prefix/${CMAKE_INSTALL_LIBDIR}/libzrdll.so.${PROJECT_VERSION_MAJOR})
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/python/_installed.py
     CONTENT "LIBRARY = \"${zr_python_to_library}\"\n")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/python/_version.py
     CONTENT "__version__ = \"${PROJECT_VERSION}\"\n")
install(FILES ${PROJECT_SOURCE_DIR}/python/zorvex/__init__.py ${PROJECT_SOURCE_DIR}/python/zorvex/dask.py
              ${PROJECT_SOURCE_DIR}/python/zorvex/py.typed
              ${PROJECT_BINARY_DIR}/python/_version.py ${PROJECT_BINARY_DIR}/python/_installed.py
        DESTINATION ${ZR_PYTHON_DIR}/zorvex)

# Installs into a temporary prefix and builds programs against the result.
# The installed programs find the prefix's library through their RUNPATH; a
# build without one (the Debian packages') is checked by check-packages.sh.
if(ZR_HOST_TESTS AND NOT CMAKE_SKIP_INSTALL_RPATH)
  add_test(NAME install.prefix
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-install.sh ${PROJECT_BINARY_DIR}
                   $<IF:$<BOOL:${ZR_GUI}>,gui,no-gui>)
  set_tests_properties(install.prefix PROPERTIES ENVIRONMENT "ZR_PYTHON=${ZR_PYTHON}")
endif()
