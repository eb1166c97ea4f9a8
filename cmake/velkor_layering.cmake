# Include trees that make the layering hold in the compiler, not only in review.
#
# Every include of ours names its folder ("graphics/sgl.h"). A library never
# exports the repository root; instead the build directory holds, per folder,
#   include/public/<folder>/<folder>/   links to the folder's public headers
#                                       (every *.h except *_internal.h)
#   include/private/<folder>/<folder>   a link to the whole folder
# (for tests/support the tree directories are named tests_support).
# A library compiles against its own private tree and exports only its public
# tree, so a consumer sees exactly the public headers of what it links: an
# internal header of another folder, or a header of a folder it does not
# link, is simply not found. tests/lint/include_boundaries.sh states the same
# rule per include line, with file and line of each offence.
#
#   velkor_library_headers(<target> <folder>)
#       <target>'s sources see all of <folder>; its consumers see <folder>'s
#       public headers.
#   velkor_folder_internals(<target> <folder>)
#       <target> (a test of <folder>) sees <folder>'s internals as well.
#   velkor_check_exported_includes()
#       Fails the configuration when a library of ours exports a source
#       directory, which would open every internal header to its consumers.

set(VELKOR_INCLUDE_TREES ${PROJECT_BINARY_DIR}/include)

# A tree's directory is named after its folder, tests/support as tests_support.
function(velkor_tree_dir kind folder out_dir)
  string(REPLACE "/" "_" name ${folder})
  set(${out_dir} ${VELKOR_INCLUDE_TREES}/${kind}/${name} PARENT_SCOPE)
endfunction()

# The public tree of a folder, rebuilt once per configuration so that a
# header that was removed or renamed to *_internal.h disappears from it.
function(velkor_public_tree folder out_dir)
  velkor_tree_dir(public ${folder} dir)
  get_property(done GLOBAL PROPERTY velkor_public_tree_${folder})
  if(NOT done)
    set_property(GLOBAL PROPERTY velkor_public_tree_${folder} TRUE)
    file(REMOVE_RECURSE ${dir})
    file(MAKE_DIRECTORY ${dir}/${folder})
    # A new header reruns the configuration, which links it in.
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      if(NOT name MATCHES "_internal\\.h$")
        file(CREATE_LINK ${header} ${dir}/${folder}/${name} SYMBOLIC)
      endif()
    endforeach()
  endif()
  set(${out_dir} ${dir} PARENT_SCOPE)
endfunction()

function(velkor_private_tree folder out_dir)
  velkor_tree_dir(private ${folder} dir)
  get_property(done GLOBAL PROPERTY velkor_private_tree_${folder})
  if(NOT done)
    set_property(GLOBAL PROPERTY velkor_private_tree_${folder} TRUE)
    file(REMOVE ${dir}/${folder})
    get_filename_component(parent ${dir}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  endif()
  set(${out_dir} ${dir} PARENT_SCOPE)
endfunction()

function(velkor_library_headers target folder)
  velkor_private_tree(${folder} private_dir)
  velkor_public_tree(${folder} public_dir)
  # The private tree comes first so that the library's own sources and its
  # tests reach every header of the folder by one path.
  target_include_directories(${target} PRIVATE ${private_dir}
                             PUBLIC $<BUILD_INTERFACE:${public_dir}>)
endfunction()

function(velkor_folder_internals target folder)
  velkor_private_tree(${folder} private_dir)
  target_include_directories(${target} BEFORE PRIVATE ${private_dir})
endfunction()

function(velkor_exported_source_dirs dir out_list)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "LIBRARY$")
      get_target_property(exported ${target} INTERFACE_INCLUDE_DIRECTORIES)
      if(NOT exported)
        continue()
      endif()
      foreach(path ${exported})
        string(REGEX REPLACE "^\\$<BUILD_INTERFACE:(.*)>$" "\\1" path "${path}")
        get_filename_component(path "${path}" ABSOLUTE)
        # A build directory may sit inside the source tree (build/).
        string(FIND "${path}/" "${PROJECT_SOURCE_DIR}/" in_source)
        string(FIND "${path}/" "${PROJECT_BINARY_DIR}/" in_build)
        if(in_source EQUAL 0 AND NOT in_build EQUAL 0)
          list(APPEND found "${target} exports ${path}")
        endif()
      endforeach()
    endif()
  endforeach()
  get_property(children DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(child ${children})
    velkor_exported_source_dirs(${child} child_found)
    list(APPEND found ${child_found})
  endforeach()
  set(${out_list} ${found} PARENT_SCOPE)
endfunction()

function(velkor_check_exported_includes)
  velkor_exported_source_dirs(${PROJECT_SOURCE_DIR} found)
  foreach(line ${found})
    message(SEND_ERROR "${line} as a PUBLIC include directory: every consumer could then "
                       "include the folder's internal headers. Use velkor_library_headers("
                       "<target> <folder>) from cmake/velkor_layering.cmake instead.")
  endforeach()
endfunction()
