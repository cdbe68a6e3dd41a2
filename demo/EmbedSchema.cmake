# Turns demo/schema.sql into a C++ source, so tarvel-cli can write the demo database without the
# source tree. Run as: cmake -DINPUT=schema.sql -DOUTPUT=DemoSchemaText.cpp -P EmbedSchema.cmake
file(READ "${INPUT}" schema)
string(FIND "${schema}" ")tarvel_schema\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw-string delimiter )tarvel_schema\"")
endif()
file(WRITE "${OUTPUT}.part"
  "// Generated from demo/schema.sql by demo/EmbedSchema.cmake; edit the schema, not this file.\n"
  "#include \"demo/DemoSchemaSource.h\"\n\n"
  "namespace tarvel::demo::detail {\n\n"
  "const char* SchemaSqlUtf8() {\n"
  "  return R\"tarvel_schema(${schema})tarvel_schema\";\n"
  "}\n\n"
  "}  // namespace tarvel::demo::detail\n")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
