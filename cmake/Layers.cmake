# One library per layer, linked only downward. A layer's headers are seen
# under their usual paths ("messaging/Mailslot.h") only by the layer itself
# and by what links it: every library gets an include folder of its own in
# the build tree that holds links to its folders' headers and nothing else,
# so an include that runs up a layer finds no file and does not build.

# mivlet_expose_headers(TARGET FOLDER...): the headers directly in each
# FOLDER (not in its subfolders, which are layers of their own) become
# visible to TARGET and to whatever links it.
function(mivlet_expose_headers target)
  get_target_property(type ${target} TYPE)
  set(scope PUBLIC)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  elseif(type STREQUAL "EXECUTABLE")
    set(scope PRIVATE)
  endif()
  set(root ${PROJECT_BINARY_DIR}/layers/${target})
  foreach(folder ${ARGN})
    file(REMOVE_RECURSE ${root}/${folder})
    file(MAKE_DIRECTORY ${root}/${folder})
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# mivlet_layer(NAME FOLDER [SOURCES...]): a static library of the sources
# given, with the headers of FOLDER; an interface library when there are no
# sources.
function(mivlet_layer name folder)
  if(ARGN)
    add_library(${name} STATIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
  endif()
  mivlet_expose_headers(${name} ${folder})
endfunction()
