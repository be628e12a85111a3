# The project's one version number lives in the VERSION file at the source
# root; project() takes it from there (see the top-level CMakeLists.txt), and
# every binary carries it in a version resource made here.

# sf_version_resource(TARGET DESCRIPTION ORIGINAL_NAME FILE_TYPE)
#   FILE_TYPE: VFT_DLL or VFT_APP.
function(sf_version_resource target description original_name file_type)
  set(SF_RC_DESCRIPTION "${description}")
  set(SF_RC_ORIGINAL_NAME "${original_name}")
  get_filename_component(SF_RC_INTERNAL_NAME "${original_name}" NAME_WE)
  set(SF_RC_FILE_TYPE "${file_type}")
  set(rc "${CMAKE_BINARY_DIR}/generated/${target}.version.rc")
  configure_file("${CMAKE_SOURCE_DIR}/cmake/Version.rc.in" "${rc}" @ONLY)
  target_sources(${target} PRIVATE "${rc}")
endfunction()
