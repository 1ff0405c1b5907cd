# The text data dialog, built apart from the text point worker library, as
# the other command areas' dialogs are; included from module/CMakeLists.txt.
add_library(dz_textpoints_dialogs STATIC ${PROJECT_SOURCE_DIR}/textpoints/text_data_dlg.cpp)
target_link_libraries(dz_textpoints_dialogs PUBLIC dz_textpoints dz_ui dz_res)
