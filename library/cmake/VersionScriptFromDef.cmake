# cmake -DDEF_FILE=<x.def> -DOUTPUT=<x.map> -P VersionScriptFromDef.cmake
#
# Turns the EXPORTS section of a module-definition file ("    Name @ordinal" lines) into a GNU
# linker version script that makes exactly those names global and every other symbol local.

file(STRINGS "${DEF_FILE}" def_lines)
set(names "")
foreach(line IN LISTS def_lines)
  if(line MATCHES "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+@[0-9]+")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(LENGTH names count)
if(count EQUAL 0)
  message(FATAL_ERROR "No exports found in ${DEF_FILE}")
endif()

set(script "/* Generated from ${DEF_FILE}; do not edit. */\n{\n  global:\n")
foreach(name IN LISTS names)
  string(APPEND script "    ${name};\n")
endforeach()
string(APPEND script "  local:\n    *;\n};\n")
file(WRITE "${OUTPUT}.tmp" "${script}")
# Rewrite only on change so the library does not relink for nothing.
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
