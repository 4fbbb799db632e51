# What `cmake --install` puts where, and the Debian package CPack makes of it.
#
#   bin/                        domica_1, domica_2, domica_3, makenet, domica_mesh (where Gmsh
#                               was found), domica-picture (scripts/picture)
#   share/man/man1/             a man page for each of them (written by hand in man/)
#   share/doc/domica/           README.md, LICENSE, CHANGELOG.md
#   share/doc/domica/examples/  the example problems with their READMEs
#   lib/python3/dist-packages/domica/  the Python module (python/CMakeLists.txt), when built
include(GNUInstallDirs)

install(TARGETS domica_1 domica_2 domica_3 makenet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES man/domica_1.1 man/domica_2.1 man/domica_3.1 man/makenet.1 man/domica-picture.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET domica_mesh)
  install(TARGETS domica_mesh RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES man/domica_mesh.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# The picture script under a name of its own in bin/.
install(PROGRAMS scripts/picture DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME domica-picture)
install(FILES README.md LICENSE CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Only the problems, their descriptions and pictures: makenet's source and the script
# that regenerates the examples belong to the source tree.
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.txt" PATTERN "*.md" PATTERN "*.png"
        PATTERN "CMakeLists.txt" EXCLUDE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME domica)
set(CPACK_PACKAGE_VENDOR "the domica developers")
set(CPACK_PACKAGE_CONTACT "domica developers <maintainers@users.noreply.c-seed-ddc51b46.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "form finding of thin reinforced-concrete shells")
set(CPACK_PACKAGE_DESCRIPTION
    "Three console programs turn a flat triangulated net (plan nodes, triangles,
supports, loads) into the curved membrane surface in equilibrium with
self-weight, point loads and a pressure that follows the surface, and write
it as an AutoCAD drawing script and an ANSYS solid model of the reinforced
shell. makenet generates nets on rectangles, discs, ellipses, regular
polygons and plans inside an outline; domica_mesh makes nets from plans drawn
in Gmsh; domica-picture draws the found shell and its membrane forces.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# domica_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Depends is worked out by dpkg-shlibdeps from the libraries the installed
# programs actually load, so a library linked later appears without a change here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The picture script is Python: what it imports, dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "python3, python3-matplotlib, python3-numpy")
# The Python module is built for one Python version; meshio and dask only for
# to_meshio() and sweeps on a cluster.
if(DOMICA_PYTHON)
  math(EXPR domica_python_next "${Python_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}), python3 (<< ${Python_VERSION_MAJOR}.${domica_python_next}), python3-matplotlib, python3-numpy")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-meshio, python3-distributed")
endif()
# UMFPACK runs on whichever BLAS Debian's alternatives give; the reference one
# makes domica_2 --solver=sparse twice as slow.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libopenblas0-serial | libopenblas0")
include(CPack)
