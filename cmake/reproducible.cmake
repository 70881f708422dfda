# Included after project() by the release builds (CMAKE_PROJECT_INCLUDE, set by the "release"
# preset and by scripts/release.sh): two builds of the same sources give the same bytes, whatever
# folder they are built in and whenever they run.
# - Paths under the source folder are written relative to it ("./geometry/src/...") in debug
#   information and __FILE__; the build folders lie inside it.
# - The module carries no time stamp in its PE header and no symbol table: the module as
#   shipped is stripped (the tested build keeps its debug information; -g changes no code).
# - The static libraries' archives are written by binutils' ar, which stores no times,
#   owners or modes (its deterministic mode is Debian's default).
# Dates come from SOURCE_DATE_EPOCH, which the compiler also uses for __DATE__ and __TIME__.
get_filename_component(TAVERIN_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${TAVERIN_SOURCE_ROOT}=.>)
if(MINGW)
  add_link_options(-s LINKER:--no-insert-timestamp)
endif()
