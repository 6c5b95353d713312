# The Office templates live as unpacked trees under src/templates/<Name>/. At build time
# each tree is zipped into <build>/templates/<Name>.zip and built into `target` as the
# resource ":/templates/<Name>". Every folder there is a template: adding a fourth needs
# no change here. The list of templates and their files is read again when it changes.
function(tavrel_add_templates target)
  # Debian's libzip CMake package wants the zip tools installed too; pkg-config does not.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET GLOBAL libzip)
  if(CMAKE_CROSSCOMPILING AND NOT TARGET tavrel-pack-template)
    # A cross build cannot run what it builds: the packer comes from a build for this machine.
    set(TAVREL_HOST_TOOLS "" CACHE PATH "A build folder for this machine that holds tavrel-pack-template")
    find_program(TAVREL_HOST_PACKER tavrel-pack-template PATHS ${TAVREL_HOST_TOOLS} NO_DEFAULT_PATH
                 NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    add_executable(tavrel-pack-template IMPORTED)
    set_target_properties(tavrel-pack-template PROPERTIES IMPORTED_LOCATION ${TAVREL_HOST_PACKER})
  elseif(NOT TARGET tavrel-pack-template)
    add_executable(tavrel-pack-template ${PROJECT_SOURCE_DIR}/tools/PackTemplate.cpp)
    target_link_libraries(tavrel-pack-template PRIVATE PkgConfig::LIBZIP)
    # Draws the guide pictures of the workbook template; run by hand, its results are kept
    # in the tree (see the program's comment).
    add_executable(tavrel-guide-pictures ${PROJECT_SOURCE_DIR}/tools/GuidePictures.cpp)
    target_link_libraries(tavrel-guide-pictures PRIVATE Qt6::Gui)
    # Draws the calculation book's placeholder chart; run by hand like the above.
    add_executable(tavrel-book-placeholder ${PROJECT_SOURCE_DIR}/tools/BookPlaceholder.cpp)
    target_link_libraries(tavrel-book-placeholder PRIVATE Qt6::Gui)
  endif()

  set(source_root ${PROJECT_SOURCE_DIR}/src/templates)
  set(output_root ${CMAKE_CURRENT_BINARY_DIR}/templates)
  file(GLOB entries CONFIGURE_DEPENDS LIST_DIRECTORIES true ${source_root}/*)
  set(archives)
  foreach(entry ${entries})
    if(NOT IS_DIRECTORY ${entry})
      continue()
    endif()
    get_filename_component(name ${entry} NAME)
    file(GLOB_RECURSE files CONFIGURE_DEPENDS LIST_DIRECTORIES false ${entry}/*)
    set(archive ${output_root}/${name}.zip)
    add_custom_command(
      OUTPUT ${archive}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${output_root}
      COMMAND tavrel-pack-template ${entry} ${archive}
      DEPENDS $<$<NOT:$<BOOL:${CMAKE_CROSSCOMPILING}>>:tavrel-pack-template> ${files}
      COMMENT "Packing the ${name} template"
      VERBATIM)
    set_source_files_properties(${archive} PROPERTIES QT_RESOURCE_ALIAS ${name} GENERATED TRUE)
    list(APPEND archives ${archive})
  endforeach()
  # Zip archives do not shrink; rcc need not try.
  qt_add_resources(${target} tavrel_templates PREFIX /templates BASE ${output_root}
                   OPTIONS -no-compress FILES ${archives})
endfunction()
