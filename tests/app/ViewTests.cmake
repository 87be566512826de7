# The window side of the shell: setup dialog, main window, bound values, lamps, notes.
mp_add_test(test_comm_setup_dlg SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_comm_setup_dlg.cpp
            LINKS mp_app)
mp_add_test(test_main_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_main_view.cpp LINKS mp_app)
mp_add_test(test_binding_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_binding_view.cpp
            LINKS mp_app)
mp_add_test(test_help_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_help_view.cpp LINKS mp_app)
