# The attribute path dialog, built apart from the attribute worker library, as
# the other command areas' dialogs are; included from module/CMakeLists.txt.
add_library(dz_attributes_dialogs STATIC ${PROJECT_SOURCE_DIR}/attributes/attribute_path_dlg.cpp)
target_link_libraries(dz_attributes_dialogs PUBLIC dz_attributes dz_ui dz_res)
