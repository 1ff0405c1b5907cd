# The EPSW conversion dialog, built apart from the EPSW worker library, as the
# other command areas' dialogs are; included from module/CMakeLists.txt.
add_library(dz_epsw_dialogs STATIC ${PROJECT_SOURCE_DIR}/epsw/epsw_convert_dlg.cpp)
target_link_libraries(dz_epsw_dialogs PUBLIC dz_epsw dz_ui dz_res)
