# The Debian packages, made by `cpack -G DEB` from the install components.
# Their dependencies are those of the libraries the programs link, found by
# dpkg-shlibdeps; kelview needs the data and the README of kelview-cli.

# Who answers for the packages: the Maintainer field and the changelog's signature.
set(KELVIEW_MAINTAINER "Kelview developers <kelview@example.org>" CACHE STRING
    "Maintainer of the Debian packages, as \"Name <address>\"")

# The changelog's newest entry is the release the packages are built from.
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)

set(CPACK_PACKAGE_NAME kelview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelview developers")
set(CPACK_PACKAGE_CONTACT "${KELVIEW_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENTS_ALL)

# kel_deb_package(COMPONENT PACKAGE SUMMARY DESCRIPTION [DEPENDS COMPONENT...]):
# the Debian package of one install component. SUMMARY is the one-line
# synopsis (under 80 characters); DESCRIPTION the long text, lines under 80
# characters, paragraphs parted by an empty line.
function(kel_deb_package component package summary description)
  cmake_parse_arguments(arg "" "" "DEPENDS" ${ARGN})
  string(LENGTH "${summary}" length)
  if(length GREATER_EQUAL 80)
    message(FATAL_ERROR "The summary of ${package} is ${length} characters long: \"${summary}\"")
  endif()
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "${summary}\n${description}" PARENT_SCOPE)
  # One source, so that every package's changelog is that source's.
  set(CPACK_DEBIAN_${upper}_PACKAGE_SOURCE kelview PARENT_SCOPE)
  set(CPACK_COMPONENT_${upper}_DEPENDS ${arg_DEPENDS} PARENT_SCOPE)
  set(CPACK_COMPONENTS_ALL ${CPACK_COMPONENTS_ALL} ${component} PARENT_SCOPE)
  set(CPACK_KELVIEW_PACKAGES ${CPACK_KELVIEW_PACKAGES} "${component}=${package}" PARENT_SCOPE)
endfunction()

set(kel_about_profiles [[
Kelview reads the multi-ion profiles (.kel) that flow-tube
chemical-ionisation mass spectrometers record, in their legacy binary,
plain XML and zipped XML forms, plots the count rate of every ion over
time and computes concentrations (ppb) and D/H isotope ratios over a
selected time window, with the help of a kinetics library.]])

kel_deb_package(cli kelview-cli "analysis of flow-tube mass spectrometer profiles, headless"
"${kel_about_profiles}

This package holds kelview-cli, which does the main window's jobs
without a display: profile information as JSON, conversion to worksheets
and zipped profiles, window results, results logs, headspace logs, batch
conversion of whole folders and pictures of the graph. It needs no
widget library, so a server or cluster node can run it. The demo kinetics
library and a demo profile are in /usr/share/kelview.")

if(TARGET kelview)
  kel_deb_package(desktop kelview "viewer and analysis tool for flow-tube mass spectrometer profiles"
"${kel_about_profiles}

This package holds the desktop program kelview: the graph with its
selection, the panels of corrections and flow-tube values, the results
log, the profile browser with batch conversion and folder watching, and
a local command channel through which other programs open profiles." DEPENDS cli)
endif()

if(TARGET kelview_python)
  kel_deb_package(python python3-kelview "Python module for flow-tube mass spectrometer profiles"
"${kel_about_profiles}

This package holds the Python module kelview: profiles as numpy arrays,
count rates, concentrations and the window results as numbers, computed
by the same code as the desktop program and kelview-cli.")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3, python3-numpy")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
endif()

# What a Debian package holds besides the installed files: its copyright and
# changelog, and compressed manual pages. A plain `cmake --install` stays as
# it is.
set(CPACK_KELVIEW_COPYRIGHT ${CMAKE_CURRENT_LIST_DIR}/copyright)
set(CPACK_KELVIEW_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/AddPackageDocs.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DropLdconfigScripts.cmake)
include(CPack)
