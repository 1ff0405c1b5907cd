# The CASS conversion dialog, built apart from the CASS worker library so that
# the dialog layer can grow beside it; included from module/CMakeLists.txt.
add_library(dz_cass_dialogs STATIC ${PROJECT_SOURCE_DIR}/cass/cass_convert_dlg.cpp)
target_link_libraries(dz_cass_dialogs PUBLIC dz_ui dz_res)
