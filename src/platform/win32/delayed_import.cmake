# Script mode: a delay-load import library of DLL with every function of the
# toolchain's import library IMPORTS, written to OUT.
#   cmake -DNM=... -DDLLTOOL=... -DIMPORTS=libx.a -DDLL=x.dll -DOUT=libx_delayed.a -P delayed_import.cmake
execute_process(COMMAND ${NM} -g --defined-only ${IMPORTS} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "__imp_[A-Za-z0-9_]+" functions "${symbols}")
list(REMOVE_DUPLICATES functions)
list(TRANSFORM functions REPLACE "^__imp_" "")
list(JOIN functions "\n" exports)
file(WRITE ${OUT}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}\n")
execute_process(COMMAND ${DLLTOOL} --input-def ${OUT}.def --dllname ${DLL} --output-delaylib ${OUT}
                COMMAND_ERROR_IS_FATAL ANY)
