mp_add_test(test_io_worker SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_io_worker.cpp
  LINKS mp_app mp_simulator)
mp_add_test(test_main_controller SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/test_main_controller.cpp
  LINKS mp_app mp_simulator)
