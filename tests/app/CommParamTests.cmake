# The device's address and baud rate change: its reads, write and line change, and its window.
# The two units are compiled in directly so these tests need no other part of the shell.
mp_add_test(test_comm_param
  SOURCES test_comm_param.cpp ${PROJECT_SOURCE_DIR}/app/CommParamChange.cpp
  LINKS mp_simulator mp_modbus Qt6::Core)
mp_add_test(test_comm_param_dlg
  SOURCES test_comm_param_dlg.cpp ${PROJECT_SOURCE_DIR}/app/CommParamChangeDlg.cpp
  LINKS Qt6::Widgets)
set_target_properties(test_comm_param_dlg PROPERTIES AUTOUIC ON
  AUTOUIC_SEARCH_PATHS ${PROJECT_SOURCE_DIR}/resources)
