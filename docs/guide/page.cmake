# Turns one Markdown page of the guide into a complete HTML page.
# cmake -DCMARK=... -DENTREE=page.md -DSORTIE=page.html -P page.cmake
file(STRINGS "${ENTREE}" premiere LIMIT_COUNT 1 ENCODING UTF-8)
string(REGEX REPLACE "^# *" "" titre "${premiere}")
execute_process(COMMAND "${CMARK}" --to html "${ENTREE}"
                OUTPUT_VARIABLE corps RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "cmark failed on ${ENTREE}")
endif()
file(WRITE "${SORTIE}" "<!DOCTYPE html>
<html lang=\"fr\">
<head>
<meta charset=\"utf-8\">
<title>${titre}</title>
<link rel=\"stylesheet\" href=\"guide.css\">
</head>
<body>
${corps}</body>
</html>
")
