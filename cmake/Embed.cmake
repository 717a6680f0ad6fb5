# Turns a text file into a C++ source that holds it as one string, so that the program carries
# the file in itself and never reads it at run time.
# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=kName -P Embed.cmake
file(READ "${INPUT}" content)
string(FIND "${content}" ")embedded\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the end of the raw string that is to hold it")
endif()
file(WRITE "${OUTPUT}.new"
  "// Made from ${INPUT} by cmake/Embed.cmake: change that file, not this one.\n"
  "namespace tovaro {\n"
  "extern const char ${NAME}[];\n"
  "const char ${NAME}[] = R\"embedded(${content})embedded\";\n"
  "} // namespace tovaro\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
